#include "calls/CallsActions.h"

#include "calls/Form3.h"
#include "calls/Form5.h"
#include "calls/Form6.h"
#include "calls/Form8.h"
#include "link/LinkActions.h"
#include "platform/Forms.h"

void connectCalls(LinkActions& actions) {
    actions.callerName = [](const QString& number) { return form<Form3>().CallerName(number); };
    actions.announceCaller = [](const QString& text) { form<Form5>().AnnounceCaller(text); };
    actions.hideIncomingCall = [] { form<Form5>().hide(); };
    actions.callStatus = [](const QString& text) { form<Form3>().ShowCallStatus(text); };
    actions.phonebookCopy = []() -> PhonebookCopy& { return form<Form3>(); };
    actions.phonebookCopied = [] {
        Form3& calls = form<Form3>();
        calls.ReloadPhonebook();
        calls.Show();
    };
    actions.answerMode = [](bool byHand) { form<Form5>().PresetAnswerButton(byHand); };

    actions.audioResult = [](const QString& text) { form<Form6>().ShowResult(text); };
    actions.speakerGain = [](const QString& value) {
        form<Form6>().ShowGain(Form6::Gain::Speaker, value);
    };
    actions.microphoneGain = [](const QString& value) {
        form<Form6>().ShowGain(Form6::Gain::Microphone, value);
    };
    actions.echoValues = [](const QString& values) { return form<Form6>().ShowEchoValues(values); };
    actions.sideTone = [](const QString& mode, const QString& level) {
        form<Form6>().ShowSideTone(mode, level);
    };

    actions.messageNotice = [](const QString& text) { form<Form8>().ShowNotice(text); };
    actions.serviceCentre = [](const QString& number) { form<Form8>().ShowServiceCentre(number); };
}
