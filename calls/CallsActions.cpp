#include "calls/CallsActions.h"

#include "calls/Form3.h"
#include "calls/Form5.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "platform/Forms.h"

namespace {

class Calls : public CallsWindows {
  public:
    std::optional<QString> callerName(const QString& number) override {
        return form<Form3>().CallerName(number);
    }
    void announceCaller(const QString& text) override { form<Form5>().AnnounceCaller(text); }
    void hideIncomingCall() override { form<Form5>().hide(); }
    void callStatus(const QString& text) override { form<Form3>().ShowCallStatus(text); }
    void phonebookCopied() override {
        Form3& calls = form<Form3>();
        calls.ListPhonebook();
        calls.Show();
    }
    void answerMode(bool byHand) override { form<Form5>().PresetAnswerButton(byHand); }

    void audioResult(const QString& text) override { form<Form6>().ShowResult(text); }
    void speakerGain(const QString& value) override {
        form<Form6>().ShowGain(Form6::Gain::Speaker, value);
    }
    void microphoneGain(const QString& value) override {
        form<Form6>().ShowGain(Form6::Gain::Microphone, value);
    }
    void echoValues(const replies::EchoValues& values) override {
        form<Form6>().ShowEchoValues(values);
    }
    void sideTone(const QString& mode, const QString& level) override {
        form<Form6>().ShowSideTone(mode, level);
    }

    void messageNotice(const QString& text) override { form<Form8>().ShowNotice(text); }
    void serviceCentre(const QString& number) override { form<Form8>().ShowServiceCentre(number); }
};

} // namespace

CallsWindows& callsWindows() {
    static Calls calls;
    return calls;
}
