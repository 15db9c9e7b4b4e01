#pragma once

// Helpers of the skin control's tests: one application object per test
// program, and scratch skin files.

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QString>

#include <cctype>
#include <fstream>
#include <string>

namespace skintest {

// Widgets need one application object; gtest's main does not make one.
inline QApplication& App() {
    static int argc = 1;
    static char name[] = "skin_test";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

inline void WriteText(const QString& path, const std::string& text) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::ofstream out(path.toStdString(), std::ios::binary);
    out << text;
}

// A parameterised case's description as a test name: letters and digits.
inline std::string TestName(const std::string& what) {
    std::string name;
    bool upper = true;
    for (char c : what) {
        if (!std::isalnum(static_cast<unsigned char>(c))) {
            upper = true;
            continue;
        }
        name += upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(c))) : c;
        upper = false;
    }
    return name;
}

// A 100 x 50 rectangle in one stroke, as a skin file lists it.
inline const std::string kRectangle = "0,0\n100,0\n100,50\n0,50\n";

} // namespace skintest
