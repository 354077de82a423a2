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

// A shape in a failure message: its name.
inline void PrintTo(const ModuleShape& shape, std::ostream* out) {
    *out << shape.name;
}

// Names the instances of a test by shape: Shapes/X.Y/ExtendedErrors.
inline std::string shapeName(const ::testing::TestParamInfo<ModuleShape>& info) {
    return info.param.name;
}

// Commands a module refuses, by name as it reads them ("+WIND", "&C", "E"),
// each with the error it writes ("+CME ERROR: 3"), framed as its shape says.
using Refused = std::vector<std::pair<QByteArray, const char*>>;

// A fixture whose simulated modem answers in the shape of the test's
// parameter: `using XInShapes = InModuleShape<X>;`, its tests TEST_P and
// instantiated with moduleShapes().
template <class Fixture>
class InModuleShape : public Fixture, public ::testing::WithParamInterface<ModuleShape> {
  protected:
    InModuleShape() { this->modem().state().shapes = GetParam().shapes; }

    // From now on the modem refuses these commands and no others.
    void refuse(const Refused& commands) {
        auto& refusals = this->modem().state().shapes.refusals;
        refusals.clear();
        for (const auto& [name, error] : commands)
            refusals[name] = sim::refusalFromText(error).value();
    }
};
