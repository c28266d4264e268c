#pragma once

#include <QGroupBox>

#include "remote/remote_settings.h"

class QCheckBox;
class QLabel;
class QLineEdit;

namespace tavrelia {

class Console;
class QrCodeView;
class TBaseForm;

// The group "Пульт на телефоне " on the options tab: switches the phone remote on and
// off, sets its PIN (both kept in Tavrelia.conf), and shows the address to type on the
// phone with its QR code and how many phones are connected.
class RemotePanel : public QGroupBox {
    Q_OBJECT
public:
    explicit RemotePanel(TBaseForm& form);

private:
    void buildControls();
    void startUp();
    void enabledClicked(bool on);
    void pinEdited();
    void save();
    // What the connection does: its addresses, or why there are none.
    void showState();
    void showLine(const QString& problem);
    void showClients();

    Console& console_;
    RemoteSettings settings_;
    QCheckBox* checkBoxRemote_ = nullptr;
    QLineEdit* editPin_ = nullptr;
    QLabel* labelAddress_ = nullptr;
    QLabel* labelClients_ = nullptr;
    QrCodeView* qrCode_ = nullptr;
};

}  // namespace tavrelia
