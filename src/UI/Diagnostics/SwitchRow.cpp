#include "UI/Diagnostics/SwitchRow.h"

#include "UI/Diagnostics/DiagnosticsFonts.h"
#include "UI/Diagnostics/TintedLabel.h"

#include <QCheckBox>
#include <QStyle>
#include <QVBoxLayout>

SwitchRow::SwitchRow(Theme& theme, int titlePixels, int descriptionPixels, QWidget* parent)
    : QWidget(parent), m_box(new QCheckBox(this)),
      m_description(new TintedLabel(theme, DiagnosticsFonts::text(descriptionPixels), TextTint::secondary(), this))
{
    m_box->setFont(DiagnosticsFonts::text(titlePixels, QFont::Medium));
    m_description->setWordWrap(true);

    // The description starts under the title, past the box's indicator.
    const int indent = style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, m_box) +
                       style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, m_box);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addWidget(m_box);
    auto* description = new QHBoxLayout;
    description->addSpacing(indent);
    description->addWidget(m_description);
    layout->addLayout(description);
}

void SwitchRow::setTexts(const QString& title, const QString& description)
{
    m_box->setText(title);
    m_description->setText(description);
}
