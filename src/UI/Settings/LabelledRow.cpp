#include "UI/Settings/LabelledRow.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>

LabelledRow::LabelledRow(QWidget* parent) : QWidget(parent), m_grid(new QGridLayout(this)), m_controls(new QHBoxLayout)
{
    m_grid->setContentsMargins(0, 0, 0, 0);
    m_grid->setHorizontalSpacing(12);
    m_grid->setVerticalSpacing(4);
    m_grid->setColumnStretch(0, 1);
    m_controls->setSpacing(8);
    m_grid->addLayout(m_controls, 0, 1, Qt::AlignRight | Qt::AlignVCenter);
}

void LabelledRow::setLabel(QLabel* label, QWidget* named)
{
    label->setBuddy(named);
    m_grid->addWidget(label, 0, 0);
}

void LabelledRow::addControl(QWidget* control)
{
    m_controls->addWidget(control);
}

void LabelledRow::setNote(QWidget* note)
{
    m_grid->addWidget(note, 1, 0, 1, 2);
}
