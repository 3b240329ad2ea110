#pragma once

#include "Avatar/DiceBearClient.h"

#include <QWidget>

struct AppContext;
class AvatarDownload;
class LocalizedTexts;
class PlainTextLabel;
class Picker;
class QLineEdit;
class QPushButton;

// Fetches a generated portrait from the avatar image service and makes it the avatar: a
// drawing style, a seed (the assistant's name when none is typed), the download button (busy
// while a download runs) and the last failure in red. Style and seed start afresh with the row.
class DiceBearRow final : public QWidget {
    Q_OBJECT
public:
    explicit DiceBearRow(AppContext& context, const QUrl& service = DiceBearClient::defaultHost(),
                         QWidget* parent = nullptr);

private:
    void showState();

    LocalizedTexts* m_texts;
    AvatarDownload* m_download;
    Picker* m_style;
    QLineEdit* m_seed;
    QPushButton* m_button;
    PlainTextLabel* m_error;
};
