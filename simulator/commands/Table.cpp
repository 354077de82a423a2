#include "simulator/commands/Table.h"

#include "simulator/SimModem.h"

#include <algorithm>

namespace sim::commands {

namespace {

template <typename Entry>
const Entry* findEntry(const std::vector<Entry>& entries, const QByteArray& name) {
    const auto found = std::find_if(entries.begin(), entries.end(),
                                    [&](const Entry& e) { return name == e.name; });
    return found == entries.end() ? nullptr : &*found;
}

} // namespace

void CommandTable::addCommands(std::initializer_list<Command> commands) {
    commands_.insert(commands_.end(), commands);
}

void CommandTable::addParameters(std::initializer_list<Parameter> parameters) {
    parameters_.insert(parameters_.end(), parameters);
}

void CommandTable::addRegisters(std::initializer_list<Register> registers) {
    registers_.insert(registers_.end(), registers);
}

void CommandTable::addFacilities(std::initializer_list<Facility> facilities) {
    facilities_.insert(facilities_.end(), facilities);
}

const Command* CommandTable::command(const QByteArray& name) const {
    return findEntry(commands_, name);
}

const Parameter* CommandTable::parameter(const QByteArray& name) const {
    return findEntry(parameters_, name);
}

const Facility* CommandTable::facility(const QByteArray& name) const {
    return findEntry(facilities_, name);
}

Settings CommandTable::factorySettings() const {
    Settings s;
    for (const Register& r : registers_)
        s.sRegisters[r.number] = r.value;
    for (const Parameter& p : parameters_)
        s.params[p.name] = p.value;
    return s;
}

const CommandTable& commandTable() {
    static const CommandTable table = [] {
        CommandTable t;
        for (auto addFamily :
             {addIdentityAndSim, addEquipment, addPhonebook, addCalls, addMessages, addCallSettings,
              addServices, addDataAndFax, addDeviceSettings, addVendor, addPacketData})
            addFamily(t);
        return t;
    }();
    return table;
}

} // namespace sim::commands

namespace sim {

Settings factorySettings() {
    return commands::commandTable().factorySettings();
}

} // namespace sim
