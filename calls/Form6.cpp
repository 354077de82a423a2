#include "calls/Form6.h"

Form6::Form6() {
    ui.setupUi(this);
    ui.TabStrip1->addTab(QStringLiteral("Volume Control"));
    ui.TabStrip1->addTab(QStringLiteral("Tone/Echo Control"));
    ui.TabStrip1->addTab(QStringLiteral("AutoAnswer Mode/DTMF"));
    setBorder(Border::FixedWithMinimize);
    setClientTwips(9120, 5805);
}
