#include "link/frmSettings.h"

frmSettings::frmSettings() {
    ui.setupUi(this);
    parity_ = {ui.optParity0, ui.optParity1, ui.optParity2};
    dataBits_ = {ui.optDataBits0, ui.optDataBits1};
    stopBits_ = {ui.optStopBits0, ui.optStopBits1};
    handshake_ = {ui.optHandshake0, ui.optHandshake1, ui.optHandshake2, ui.optHandshake3};
    action_ = {ui.cmdAction0, ui.cmdAction1};
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setClientTwips(4935, 3405);
}
