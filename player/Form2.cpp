#include "Form2.h"

#include <QDir>
#include <QLabel>
#include <QPixmap>

namespace {

constexpr int kWidth = 540; // 8100 x 1125 twips
constexpr int kHeight = 75;

} // namespace

Form2::Form2(const QString& skinDir, std::function<void()> done, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      done_(std::move(done)) {
    setWindowTitle(QStringLiteral("Songwell"));
    setFixedSize(kWidth, kHeight);
    setStyleSheet(QStringLiteral("Form2 { background: #1B2130; }"));

    const QDir skin(skinDir);
    auto* background = new QLabel(this);
    background->setGeometry(0, 0, kWidth, kHeight);
    background->setPixmap(QPixmap(skin.filePath(QStringLiteral("banner.png"))));

    // The icons sit beside the skin folder.
    auto* picture = new QLabel(this);
    picture->setGeometry(14, 14, 48, 48);
    picture->setPixmap(QPixmap(skin.filePath(QStringLiteral("../icons/songwell-48.png"))));

    auto* caption = new QLabel(QStringLiteral("Songwell developers"), this);
    caption->setObjectName(QStringLiteral("Label1"));
    caption->setGeometry(70, 46, 460, 20);
    caption->setStyleSheet(
        QStringLiteral("color: #E8EEF6; background: transparent; font: 9pt \"DejaVu Sans\""));

    Timer1.setSingleShot(true);
    Timer1.setInterval(kShowMilliseconds);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        close();
        if (done_)
            done_();
    });
    Timer1.start();
}
