#include "UI/Diagnostics/WrappedText.h"

#include <QPainter>
#include <QTextLayout>

#include <cmath>
#include <memory>

namespace WrappedText {

namespace {
std::unique_ptr<QTextLayout> layOut(const QFont& font, const QString& text, int width)
{
    QString lines = text;
    lines.replace(QLatin1Char('\n'), QChar::LineSeparator);
    auto layout = std::make_unique<QTextLayout>(lines, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout->setTextOption(option);
    layout->beginLayout();
    qreal y = 0;
    for (QTextLine line = layout->createLine(); line.isValid(); line = layout->createLine()) {
        line.setLineWidth(std::max(1, width));
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout->endLayout();
    return layout;
}
}  // namespace

int height(const QFont& font, const QString& text, int width)
{
    return int(std::ceil(layOut(font, text, width)->boundingRect().height()));
}

void paint(QPainter& painter, const QFont& font, const QString& text, const QPointF& topLeft, int width,
           const QColor& colour)
{
    const auto layout = layOut(font, text, width);
    painter.save();
    painter.setPen(colour);
    layout->draw(&painter, topLeft);
    painter.restore();
}

}  // namespace WrappedText
