// The phonebooks: choosing a storage, reading, writing and finding entries.

#include "simulator/commands/Command.h"

namespace sim::commands {

namespace {

Phonebook& currentPhonebook(ModemState& s) {
    return s.phonebooks[s.phonebookStorage];
}

QByteArray entryText(const ModemState& s, int index, const PhonebookEntry& e) {
    const QByteArray text =
        number(index) + ',' + quoted(e.number) + ',' + number(e.type) + ',' + quoted(e.name);
    return s.shapes.trailingEntryFields ? text + ",0,\"\"" : text; // hidden, group
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
    if (!intField(f, 2, type, addressType(digits))) return error();
    if (digits.size() > book.numberLength) return cme(26);
    if (f.value(3).size() > book.textLength) return cme(24);
    book.entries[index] = {digits, type, f.value(3)};
    return ok();
}

Reply findPhonebook(SimModem& m, const Request& r) {
    const Phonebook& book = currentPhonebook(m.state());
    if (r.kind == Kind::Test)
        return ok({"+CPBF: " + number(book.numberLength) + ',' + number(book.textLength)});
    if (r.kind != Kind::Set) return error();
    const QByteArray wanted = fields(r.args).value(0).toUpper();
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
