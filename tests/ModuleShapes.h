#pragma once

// The shapes in which real modules answer, for tests that read replies: each
// test that reads a reply runs once in every shape (a parameter of the test).

#include "simulator/SimModem.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <utility>
#include <vector>

struct ModuleShape {
    const char* name;
    sim::ReplyShapes shapes;
};

// A shape in a test's failure message: its name.
inline void PrintTo(const ModuleShape& shape, std::ostream* out) {
    *out << shape.name;
}

inline sim::ReplyShapes plainShapes() {
    return {};
}

// A 27.005 module: a read of an empty phonebook place is "not found" (a plain
// "ERROR" after "AT+CMEE=0"), entries carry the fields after the name, and a
// failed message command ends in "+CMS ERROR: n" whatever "AT+CMEE" says.
inline sim::ReplyShapes messageModuleShapes() {
    sim::ReplyShapes shapes;
    shapes.emptySlot = sim::EmptySlot::NotFound;
    shapes.trailingEntryFields = true;
    shapes.messageErrorsExtended = true;
    return shapes;
}

// A module that keeps extended errors whatever "AT+CMEE" says:
// "+CME ERROR: 22" for an empty place, "+CME/+CMS ERROR: n" for every refusal.
inline sim::ReplyShapes extendedErrorShapes() {
    sim::ReplyShapes shapes = messageModuleShapes();
    shapes.equipmentErrorsExtended = true;
    return shapes;
}

// A module of SIMCom's kind: it says "+CPIN: READY" unasked after a right
// PIN, and "Call Ready" and "SMS Ready" later; a SIM missing in words; a voice
// dial answered OK at once, how it ended said later; registers unpadded ("0").
inline sim::ReplyShapes simcomShapes() {
    sim::ReplyShapes shapes;
    shapes.unaskedReadyAfterPin = true;
    shapes.smsReadyAfterPinSeconds = 2;
    shapes.absentSimInWords = true;
    shapes.voiceDialOkAtOnce = true;
    shapes.unpaddedRegisters = true;
    return shapes;
}

// The order of the indicators as u-blox modules give them ("call" sixth,
// "callsetup" tenth), entries with their hidden flag and group, a voice dial
// answered OK at once.
inline sim::ReplyShapes ubloxShapes() {
    sim::ReplyShapes shapes;
    shapes.indicatorOrder = sim::IndicatorOrder::Ublox;
    shapes.entryFields = sim::EntryFields::HiddenGroup;
    shapes.voiceDialOkAtOnce = true;
    return shapes;
}

// Telit's order ("call" sixth, the list in one more pair of parentheses), the
// registration with the location area, the cell and the access technology
// whatever "AT+CREG" says, every field 27.007 puts after a name.
inline sim::ReplyShapes telitShapes() {
    sim::ReplyShapes shapes;
    shapes.indicatorOrder = sim::IndicatorOrder::Telit;
    shapes.cellLocation = sim::CellLocation::Always;
    shapes.accessTechnology = 2;
    shapes.entryFields = sim::EntryFields::All;
    return shapes;
}

// Huawei's order ("call" sixth, "rssi" last), the location in bare hex, empty
// fields after a name, a voice dial answered OK at once, extended errors.
inline sim::ReplyShapes huaweiShapes() {
    sim::ReplyShapes shapes = extendedErrorShapes();
    shapes.indicatorOrder = sim::IndicatorOrder::Huawei;
    shapes.cellLocation = sim::CellLocation::Always;
    shapes.unquotedLocation = true;
    shapes.entryFields = sim::EntryFields::Empty;
    shapes.voiceDialOkAtOnce = true;
    return shapes;
}

// A phone as Motorola's answer: "call" third and "callsetup" sixth, the
// date and time of an entry after its name, registers unpadded.
inline sim::ReplyShapes motorolaPhoneShapes() {
    sim::ReplyShapes shapes;
    shapes.indicatorOrder = sim::IndicatorOrder::Motorola;
    shapes.entryFields = sim::EntryFields::Dates;
    shapes.unpaddedRegisters = true;
    return shapes;
}

inline const std::vector<ModuleShape>& moduleShapes() {
    static const std::vector<ModuleShape> shapes = {
        {"Plain", plainShapes()},
        {"MessageModule", messageModuleShapes()},
        {"ExtendedErrors", extendedErrorShapes()},
        {"Simcom", simcomShapes()},
        {"Ublox", ubloxShapes()},
        {"Telit", telitShapes()},
        {"Huawei", huaweiShapes()},
        {"MotorolaPhone", motorolaPhoneShapes()},
    };
    return shapes;
}

// The shapes whose indicators stand in Wavecom's order, for the window of
// Wavecom's own features, which names them by their place.
inline const std::vector<ModuleShape>& wavecomOrderShapes() {
    static const std::vector<ModuleShape> shapes = [] {
        std::vector<ModuleShape> kept;
        for (const ModuleShape& shape : moduleShapes())
            if (shape.shapes.indicatorOrder == sim::IndicatorOrder::Wavecom) kept.push_back(shape);
        return kept;
    }();
    return shapes;
}

// Names the instances of a test by shape: Shapes/X.Y/ExtendedErrors.
inline std::string shapeName(const ::testing::TestParamInfo<ModuleShape>& info) {
    return info.param.name;
}

// The module refuses `command` (by name as it parses it: "+CLCK", "S") with
// `error` ("+CME ERROR: 3"), framed as its shape frames errors: a plain
// "ERROR" where it keeps no extended errors.
inline void refuse(sim::SimModem& modem, const QByteArray& command, const QByteArray& error) {
    modem.state().shapes.refusals[command] = sim::refusalFromText(error).value();
}

// Commands a module refuses, by name as it reads them ("+WIND", "&C", "E"),
// each with the error it writes ("+CME ERROR: 3").
using Refused = std::vector<std::pair<QByteArray, const char*>>;

// A connected-console fixture whose tests run once in every shape, the shape
// applied before each test: `using XShapesTest = InEveryShape<XTest>;`, its
// tests TEST_P, with
// INSTANTIATE_TEST_SUITE_P(Shapes, XShapesTest, ValuesIn(moduleShapes()), shapeName).
template <class Fixture>
class InEveryShape : public Fixture, public ::testing::WithParamInterface<ModuleShape> {
  protected:
    InEveryShape() { this->modem().state().shapes = this->GetParam().shapes; }

    // From now on the modem refuses these commands and no others.
    void refuseOnly(const Refused& commands) {
        this->modem().state().shapes.refusals.clear();
        for (const auto& [name, error] : commands)
            refuse(this->modem(), name, error);
    }
};
