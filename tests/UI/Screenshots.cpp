#include "UI/Screenshots.h"

#include "Support/RawEnum.h"

#include <QApplication>
#include <QDir>
#include <QFont>
#include <QPalette>
#include <QStyle>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

namespace Screenshots {

namespace {
QPalette darkPalette()
{
    QPalette palette;
    const QColor window(0x2b, 0x2b, 0x2b);
    const QColor text(0xee, 0xee, 0xee);
    palette.setColor(QPalette::Window, window);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, QColor(0x1f, 0x1f, 0x1f));
    palette.setColor(QPalette::AlternateBase, window);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3a));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(0x8a, 0x8a, 0x8a));
    palette.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4a));
    palette.setColor(QPalette::Midlight, QColor(0x3f, 0x3f, 0x3f));
    palette.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x30));
    palette.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x18));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        palette.setColor(QPalette::Disabled, role, QColor(0x80, 0x80, 0x80));
    return palette;
}
}  // namespace

void prepare(Appearance appearance)
{
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Parlivox"));
    QFont font(QStringLiteral("Noto Sans"), 10);
    font.setFamilies(
        {QStringLiteral("Noto Sans"), QStringLiteral("Noto Sans CJK KR"), QStringLiteral("Noto Color Emoji")});
    QApplication::setFont(font);
    QApplication::setPalette(appearance == Appearance::dark ? darkPalette() : QApplication::style()->standardPalette());
}

void restore()
{
    QApplication::setPalette(QApplication::style()->standardPalette());
    QApplication::setFont(QFont());
}

QString folder()
{
    static QTemporaryDir fallback;
    const QString chosen = qEnvironmentVariable("PARLIVOX_SCREENS");
    const QString path = chosen.isEmpty() ? fallback.path() : chosen;
    QDir().mkpath(path);
    return path;
}

QString suffix(AppLanguage language, Appearance appearance)
{
    return QLatin1Char('-') + rawValue(language) +
           (appearance == Appearance::dark ? QStringLiteral("-dark") : QStringLiteral("-light"));
}

QImage take(QWidget& widget, const QSize& size, const QString& name)
{
    widget.resize(size);
    widget.show();
    QApplication::processEvents();  // delivers the layout and palette changes queued so far
    const QImage image = widget.grab().toImage();
    image.save(QDir(folder()).filePath(name + QStringLiteral(".png")));
    return image;
}

}  // namespace Screenshots
