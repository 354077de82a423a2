// The phonebooks: choosing a storage, reading, writing and finding entries.

#include "simulator/commands/Charset.h"
#include "simulator/commands/Command.h"

namespace sim::commands {

namespace {

Phonebook& currentPhonebook(ModemState& s) {
    return s.phonebooks[s.phonebookStorage];
}

EntryFields entryFieldsOf(const ReplyShapes& shapes) {
    if (shapes.entryFields == EntryFields::None && shapes.trailingEntryFields)
        return EntryFields::HiddenGroup;
    return shapes.entryFields;
}

// A text field in the terminal's character set: quoted, unless the module
// writes hex without quotes.
QByteArray textField(const ModemState& s, const QByteArray& text) {
    const QByteArray& set = s.settings.characterSet;
    const QByteArray written = toCharacterSet(set, text);
    return writesHex(set) && s.shapes.unquotedHexNames ? written : quoted(written);
}

QByteArray secondNumberType(const PhonebookEntry& e) {
    return e.secondNumber.isEmpty() ? QByteArray() : number(addressType(e.secondNumber));
}

// The fields after the name, as the module's shape has them.
QByteArray trailingFields(const ModemState& s, const PhonebookEntry& e) {
    switch (entryFieldsOf(s.shapes)) {
    case EntryFields::None:
        break;
    case EntryFields::HiddenGroup:
        return ',' + number(e.hidden) + ',' + textField(s, e.group);
    case EntryFields::Hidden:
        return ',' + number(e.hidden);
    case EntryFields::Empty:
        return ",,,,,,,";
    case EntryFields::All:
        return ',' + number(e.hidden) + ',' + textField(s, e.group) + ',' + quoted(e.secondNumber) +
               ',' + secondNumberType(e) + ',' + textField(s, e.secondText) + ',' +
               textField(s, e.email);
    case EntryFields::Dates:
        return ',' + quoted(e.date) + ',' + quoted(e.time);
    }
    return {};
}

QByteArray entryText(const ModemState& s, int index, const PhonebookEntry& e) {
    return number(index) + ',' + quoted(e.number) + ',' + number(e.type) + ',' +
           textField(s, e.name) + trailingFields(s, e);
}

// A text the terminal wrote in its character set, quotes taken off.
std::optional<QByteArray> textFrom(const ModemState& s, const QByteArray& field) {
    return fromCharacterSet(s.settings.characterSet, field);
}

Reply phonebookStorage(SimModem& m, const Request& r) {
    ModemState& s = m.state();
    if (r.kind == Kind::Test) {
        QByteArrayList names;
        for (const auto& storage : s.phonebooks)
            names << quoted(storage.first);
        return ok({"+CPBS: (" + names.join(',') + ")"});
    }
    if (r.kind == Kind::Read) {
        const Phonebook& book = currentPhonebook(s);
        return ok({"+CPBS: " + quoted(s.phonebookStorage) + ',' + number(int(book.entries.size())) +
                   ',' + number(book.capacity)});
    }
    const QByteArray storage = fields(r.args).value(0).toUpper();
    if (r.kind != Kind::Set || !s.phonebooks.count(storage))
        return r.kind == Kind::Set ? cme(4) : error();
    s.phonebookStorage = storage;
    return ok();
}

Reply readPhonebook(SimModem& m, const Request& r) {
    const Phonebook& book = currentPhonebook(m.state());
    if (r.kind == Kind::Test)
        return ok({"+CPBR: (1-" + number(book.capacity) + ")," + number(book.numberLength) + ',' +
                   number(book.textLength)});
    const QByteArrayList f = fields(r.args);
    int first = 0, last = 0;
    if (r.kind != Kind::Set || f.size() > 2 || !intField(f, 0, first, -1) ||
        !intField(f, 1, last, first))
        return error();
    if (first < 1 || last < first || last > book.capacity) return cme(21);
    QByteArrayList lines;
    for (auto it = book.entries.lower_bound(first); it != book.entries.end() && it->first <= last;
         ++it)
        lines << "+CPBR: " + entryText(m.state(), it->first, it->second);
    // Empty places give no lines; where every place asked for is empty, some
    // modules say so.
    if (lines.isEmpty() && m.state().shapes.emptySlot == EmptySlot::NotFound) return cme(22);
    return ok(lines);
}

Reply writePhonebook(SimModem& m, const Request& r) {
    Phonebook& book = currentPhonebook(m.state());
    if (r.kind == Kind::Test)
        return ok({"+CPBW: (1-" + number(book.capacity) + ")," + number(book.numberLength) +
                   ",(129,145)," + number(book.textLength)});
    const QByteArrayList f = fields(r.args);
    int index = 0, type = 0;
    if (r.kind != Kind::Set || f.size() > 4 || !intField(f, 0, index, 0)) return error();
    if (f[0].isEmpty() && !(index = firstFree(book.entries, book.capacity))) return cme(20);
    if (!inRange(index, 1, book.capacity)) return cme(21);
    const QByteArray digits = f.value(1);
    if (digits.isEmpty()) {
        book.entries.erase(index);
        return ok();
    }
    const std::optional<QByteArray> name = textFrom(m.state(), f.value(3));
    if (!intField(f, 2, type, addressType(digits)) || !name) return error();
    if (digits.size() > book.numberLength) return cme(26);
    if (name->size() > book.textLength) return cme(24);
    book.entries[index] = {digits, type, *name};
    return ok();
}

Reply findPhonebook(SimModem& m, const Request& r) {
    const Phonebook& book = currentPhonebook(m.state());
    if (r.kind == Kind::Test)
        return ok({"+CPBF: " + number(book.numberLength) + ',' + number(book.textLength)});
    const std::optional<QByteArray> text = textFrom(m.state(), fields(r.args).value(0));
    if (r.kind != Kind::Set || !text) return error();
    const QByteArray wanted = text->toUpper();
    QByteArrayList lines;
    for (const auto& [index, entry] : book.entries)
        if (entry.name.toUpper().startsWith(wanted))
            lines << "+CPBF: " + entryText(m.state(), index, entry);
    return lines.isEmpty() ? cme(22) : ok(lines);
}

} // namespace

void addPhonebook(CommandTable& table) {
    table.addCommands({
        {"+CPBS", phonebookStorage, Needs::Sim},
        {"+CPBR", readPhonebook, Needs::Sim},
        {"+CPBW", writePhonebook, Needs::Sim},
        {"+CPBF", findPhonebook, Needs::Sim},
    });
}

} // namespace sim::commands

namespace sim {

std::optional<EntryFields> entryFieldsFromName(const QByteArray& name) {
    static const std::map<QByteArray, EntryFields> names = {
        {"none", EntryFields::None},     {"hidden-group", EntryFields::HiddenGroup},
        {"hidden", EntryFields::Hidden}, {"empty", EntryFields::Empty},
        {"all", EntryFields::All},       {"dates", EntryFields::Dates},
    };
    const auto found = names.find(name);
    return found == names.end() ? std::nullopt : std::optional<EntryFields>(found->second);
}

} // namespace sim
