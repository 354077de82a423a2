#pragma once

#include "link/replies/PacketData.h"
#include "platform/FeatureWindow.h"

#include <QStringList>

#include <array>
#include <memory>

class QLineEdit;

namespace Ui {
class Form19;
}

// The GPRS window: the entry of a context (Frame2) and, below the line, the
// table of contexts 1 to 4 the device reports: one row each, with its
// identifier, type and access point name, under three headings. Closing it
// shows the others menu.
class Form19 : public FeatureWindow {
    Q_OBJECT
  public:
    Form19();
    ~Form19() override;

    // The context query; also run by Refresh and after OK.
    void Form_Load() override;

  private:
    void contextQuery();
    // The contexts the device has defined, a row each.
    void showContexts(const std::vector<replies::PdpContext>& defined);
    void showRow(int row, const replies::PdpContext& context);
    void Command1_Click();
    // Returns whether the device refused the context.
    bool defineContext();
    void Command2_Click();
    void ClearContextFields();

    std::unique_ptr<Ui::Form19> ui;

    // The cells of each row: identifier, type, access point name.
    std::array<std::array<QLineEdit*, 3>, 4> rows_{};
};
