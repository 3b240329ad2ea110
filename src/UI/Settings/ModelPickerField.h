#pragma once

#include "UI/Settings/LabelledRow.h"

struct AppContext;
class LocalizedTexts;
class QLineEdit;
class QMenu;

// The model name of the backend chosen now: a field edited as typed and a menu of the
// backend's suggested models. Both always work on the backend selected at that moment, so
// each backend keeps its own model.
class ModelPickerField final : public LabelledRow {
    Q_OBJECT
public:
    explicit ModelPickerField(AppContext& context, QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }

private:
    void showModel();
    void refreshPresets();

    AppContext& m_context;
    LocalizedTexts* m_texts;
    QLineEdit* m_field;
    QMenu* m_presets;
};
