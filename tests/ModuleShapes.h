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

inline const std::vector<ModuleShape>& moduleShapes() {
    static const std::vector<ModuleShape> shapes = {
        {"Plain", plainShapes()},
        {"MessageModule", messageModuleShapes()},
        {"ExtendedErrors", extendedErrorShapes()},
    };
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
