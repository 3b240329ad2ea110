#include "UI/Agent/MemorySection.h"

#include "Persona/PersonaStore.h"
#include "Support/DesktopWorkspace.h"
#include "UI/App/AppContext.h"
#include "UI/Kit/PlainTextLabel.h"

#include <QPushButton>

MemorySection::MemorySection(AppContext& context, QWidget* parent)
    : SettingsSection(context, QStringLiteral("memorySection"), parent)
{
    setTitle(QStringLiteral("agent.memory"));
    PlainTextLabel* file = makeLabel(TextStyle::Size::callout);
    TextStyle::setMonospace(*file);
    file->setText(QStringLiteral("memory.md"));
    auto* reveal = new QPushButton;
    reveal->setObjectName(QStringLiteral("revealMemoryButton"));
    texts().button(*reveal, QStringLiteral("agent.memory_reveal"));
    connect(reveal, &QPushButton::clicked, this,
            [this] { this->context().workspace.revealFile(PersonaStore::memoryPath()); });

    addRow(rowOf({makeSymbol("brain"), file, nullptr, reveal}, 8));
    texts().label(*addNote(TextTint::secondary()), QStringLiteral("agent.memory_help"));
}
