// The main window's tables of named controls against its design as the window
// loads it: a name that the design lacks would leave a key that silently does
// nothing, or a line that never shows or never hides with its view.

#include "MainWindowAreas.h"
#include "PlayerTestSupport.h"

#include <QSet>

namespace playertest {
namespace {

class ClickAreas : public PlayerTest {
protected:
    bool InDesign(const char* name) const { return Control(name) != nullptr; }

    // Each name once across both tables.
    void ExpectNew(const char* name) {
        EXPECT_FALSE(listed_.contains(name)) << name << " is listed twice";
        listed_.insert(name);
    }

private:
    QSet<QString> listed_;
};

TEST_F(ClickAreas, EveryNameInTheTableIsInTheDesign) {
    ASSERT_TRUE(InDesign("Skin")) << "the design is not loaded";
    for (const ClickArea& area : MainWindowAreas()) {
        EXPECT_TRUE(InDesign(area.name)) << area.name;
        ExpectNew(area.name);
        for (const char* lamp : area.lamps)
            EXPECT_TRUE(InDesign(lamp)) << area.name << ": " << lamp;
        if (area.underline != nullptr)
            EXPECT_TRUE(InDesign(area.underline)) << area.name << ": " << area.underline;
        EXPECT_TRUE(area.command != Command::None || area.hint != nullptr)
            << area.name << " neither acts nor hints";
    }
    for (const NamedControl& control : MainWindowControls()) {
        EXPECT_TRUE(InDesign(control.name)) << control.name;
        ExpectNew(control.name);
    }
}

TEST_F(ClickAreas, EachShadeCoversOnlyKeysOfThePlayerView) {
    // A shaded key of the converter, or of both views, would look dead where
    // it works.
    for (Shade group : {Shade::TransportKeys, Shade::ModeKeys, Shade::VolumeGroove}) {
        int members = 0;
        for (const ClickArea& area : MainWindowAreas())
            if (area.shade == group) {
                ++members;
                EXPECT_EQ(area.views, View::Player) << area.name;
            }
        EXPECT_GT(members, 0) << "shade " << static_cast<int>(group) << " covers nothing";
    }
}

} // namespace
} // namespace playertest
