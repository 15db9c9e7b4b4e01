#pragma once

namespace audiocore {

// Routes the decoder's messages ("Unknown sample frequency in header") to a
// message box with the same caption and text and the error icon, shown on
// the application's thread whichever thread the decoder runs on.
void InstallDecoderMessages();

} // namespace audiocore
