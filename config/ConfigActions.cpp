#include "config/ConfigActions.h"

#include "config/Form15.h"
#include "link/LinkActions.h"
#include "platform/Forms.h"

void connectConfig(LinkActions& actions) {
    actions.deviceRate = [](const QString& rate) { form<Form15>().PresetRate(rate); };
    actions.framing = [](const QString& formatCode, const QString& parityCode) {
        form<Form15>().PresetFraming(formatCode, parityCode);
    };
    actions.echoEnabled = [] { form<Form15>().PresetEchoEnabled(); };
}
