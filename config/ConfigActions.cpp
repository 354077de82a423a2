#include "config/ConfigActions.h"

#include "config/Form15.h"
#include "platform/Forms.h"

namespace {

class Config : public ConfigWindows {
  public:
    void deviceRate(const QString& rate) override { form<Form15>().PresetRate(rate); }
    void framing(const QString& formatCode, const QString& parityCode) override {
        form<Form15>().PresetFraming(formatCode, parityCode);
    }
    void echoEnabled() override { form<Form15>().PresetEchoEnabled(); }
};

} // namespace

ConfigWindows& configWindows() {
    static Config config;
    return config;
}
