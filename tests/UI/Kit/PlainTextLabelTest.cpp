#include "UI/Kit/PlainTextLabel.h"

#include "Common/ImageChecks.h"

#include <QImage>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

TEST(PlainTextLabel, MarkupFromAReplyIsShownAsTyped)
{
    for (const char* markup : {"<b>bold</b>", "<a href=\"https://example.com\">link</a>", "<h1>big</h1>"}) {
        const QString text = QString::fromUtf8(markup);
        const PlainTextLabel plain(text);
        const QLabel interpreted(text);  // QLabel's default guesses that this is rich text
        EXPECT_GT(plain.sizeHint().width(), interpreted.sizeHint().width()) << markup;
    }
}

TEST(PlainTextLabel, DrawsOffscreenIntoAnImage)
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new PlainTextLabel(QStringLiteral("안녕하세요 <b>Parlivox</b>")));
    window.resize(320, 80);
    window.show();

    const QImage image = window.grab().toImage();

    EXPECT_EQ(image.size(), QSize(320, 80) * image.devicePixelRatio());
    EXPECT_FALSE(isBlank(image));
}
