#pragma once

#include <QTimer>
#include <QWidget>

#include <functional>

// The farewell banner: shown when the main window closes, it ends the
// program on its timer's first tick, 1.25 s later.
class Form2 : public QWidget {
    Q_OBJECT

public:
    static constexpr int kShowMilliseconds = 1250;

    // skinDir holds the banner picture; done runs on the first tick.
    Form2(const QString& skinDir, std::function<void()> done, QWidget* parent = nullptr);

    QTimer Timer1;

private:
    std::function<void()> done_;
};
