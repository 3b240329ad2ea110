#include "UI/Talk/BubbleText.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QPainter>
#include <QTextDocument>

#include <cmath>

namespace {
constexpr qreal kPadding = 10;

void shapeDocument(QTextDocument& document, const QFont& font)
{
    document.setDefaultFont(font);
    document.setDocumentMargin(kPadding);
    QTextOption option = document.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document.setDefaultTextOption(option);
}
}  // namespace

BubbleText::BubbleText(QWidget* parent) : QTextEdit(parent), m_measure(new QTextDocument(this))
{
    setObjectName(QStringLiteral("bubbleText"));
    setReadOnly(true);
    setAcceptRichText(false);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus);
    setTabChangesFocus(true);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    viewport()->setAutoFillBackground(false);
    viewport()->setCursor(Qt::IBeamCursor);
    document()->setDocumentMargin(kPadding);
    setMaximumWidth(widest);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    shapeDocument(*m_measure, font());
}

void BubbleText::setText(const QString& text)
{
    if (text == toPlainText())
        return;
    setPlainText(text);
    m_measure->setPlainText(text);
    updateGeometry();
}

void BubbleText::setColours(const QColor& background, const QColor& text)
{
    m_background = background;
    QPalette colours = palette();
    colours.setColor(QPalette::Text, text);
    setPalette(colours);
    viewport()->update();
}

void BubbleText::setMenuTexts(const QString& copy, const QString& selectAll)
{
    m_copyText = copy;
    m_selectAllText = selectAll;
}

int BubbleText::naturalWidth() const
{
    if (m_measure->defaultFont() != font())
        m_measure->setDefaultFont(font());
    m_measure->setTextWidth(-1);  // no wrapping: the longest line
    // A pixel of slack, or rounding would wrap the last word of a line that just fits.
    return std::min(int(std::ceil(m_measure->idealWidth())) + 1, widest);
}

QSize BubbleText::sizeHint() const
{
    const int width = naturalWidth();
    return {width, heightForWidth(width)};
}

int BubbleText::heightForWidth(int width) const
{
    m_measure->setTextWidth(std::min(width, naturalWidth()));
    return int(std::ceil(m_measure->size().height()));
}

QSize BubbleText::minimumSizeHint() const
{
    return {std::min(sizeHint().width(), 60), fontMetrics().height() + int(2 * kPadding)};
}

void BubbleText::paintEvent(QPaintEvent* event)
{
    {
        QPainter painter(viewport());
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(m_background);
        const QRectF bubble = QRectF(viewport()->rect()).adjusted(1, 1, -1, -1);
        painter.drawRoundedRect(bubble, 14, 14);
        if (hasFocus()) {
            painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
            painter.setBrush(Qt::NoBrush);
            painter.drawRoundedRect(bubble, 14, 14);
        }
    }
    QTextEdit::paintEvent(event);
}

void BubbleText::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    const QString selected = textCursor().selectedText().replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    menu.addAction(m_copyText, this, [this, selected] {
        if (onCopy)
            onCopy(selected.isEmpty() ? toPlainText() : selected);
    });
    menu.addAction(m_selectAllText, this, &QTextEdit::selectAll);
    menu.exec(event->globalPos());
}
