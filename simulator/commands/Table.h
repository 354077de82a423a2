#pragma once

// The table every family of the simulated module's commands fills: commands,
// stored parameters, S-registers and lock facilities by name. Kept free of Qt
// so that a family of stored parameters compiles in no time.

#include <initializer_list>
#include <vector>

class QByteArray;

namespace sim {

class SimModem;
struct ModemState;
struct Settings;

namespace commands {

struct Request;
struct Reply;
struct LockRequest;

using Handler = Reply (*)(SimModem&, const Request&);

// What must be ready before the command runs; its test form always runs.
enum class Needs { Nothing, Sim, SimForMessages };

struct Command {
    const char* name;
    Handler handler;
    Needs needs = Needs::Nothing;
};

// A parameter that the module only stores: NAME? shows it, NAME=v sets it
// (checked against the lists of NAME=?), basic ones are set as NAMEv.
struct Parameter {
    const char* name;
    const char* value; // factory value
    const char* ranges;
    bool replace = false; // a set replaces every field; otherwise omitted fields keep their values
    // Whether the module takes the value a set leaves (all fields, joined by
    // commas) beyond the lists of NAME=?; null: it always does.
    bool (*accepts)(const QByteArray& value) = nullptr;
};

// An S-register and its factory value.
struct Register {
    int number;
    int value;
};

// A facility of +CLCK and +CPWD ("SC", "PS", "AO", ...), kept by the family it belongs to.
struct Facility {
    const char* name;
    Reply (*lock)(ModemState&, const LockRequest&); // null: +CLCK does not take it
    Reply (*changePassword)(ModemState&, const QByteArray& facility, const QByteArray& old,
                            const QByteArray& fresh);
};

// Every command, stored parameter, S-register and lock facility the module knows, by name.
class CommandTable {
  public:
    void addCommands(std::initializer_list<Command> commands);
    void addParameters(std::initializer_list<Parameter> parameters);
    void addRegisters(std::initializer_list<Register> registers);
    void addFacilities(std::initializer_list<Facility> facilities);

    const Command* command(const QByteArray& name) const;
    const Parameter* parameter(const QByteArray& name) const;
    const Facility* facility(const QByteArray& name) const;
    Settings factorySettings() const;

  private:
    std::vector<Command> commands_;
    std::vector<Parameter> parameters_;
    std::vector<Register> registers_;
    std::vector<Facility> facilities_;
};

// The table of every family, filled once.
const CommandTable& commandTable();

// The families; each adds its entries to the table.
void addIdentityAndSim(CommandTable& table);
void addEquipment(CommandTable& table);
void addPhonebook(CommandTable& table);
void addCalls(CommandTable& table);
void addMessages(CommandTable& table);
void addCallSettings(CommandTable& table);
void addServices(CommandTable& table);
void addDataAndFax(CommandTable& table);
void addDeviceSettings(CommandTable& table);
void addVendor(CommandTable& table);
void addPacketData(CommandTable& table);

} // namespace commands
} // namespace sim
