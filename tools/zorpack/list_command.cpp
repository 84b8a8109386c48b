#include "list_command.h"

#include "cp1252.h"
#include "dos_time.h"

#include <cstdio>
#include <fstream>

namespace zorpack {

void printListing(const ArchiveDirectory& directory, std::ostream& out) {
    char line[128];
    std::snprintf(line, sizeof line, "%10s %10s %-8s %-10s %-8s  %s\n", "Size", "Packed", "Method",
                  "Date", "Time", "Name");
    out << line;
    for (const EntryHeader& entry : directory.entries) {
        const CalendarTime t = fromDosTimestamp(DosTimestamp{entry.dosTime, entry.dosDate});
        std::snprintf(line, sizeof line, "%10lu %10lu %-8s %04d-%02d-%02d %02d:%02d:%02d  ",
                      static_cast<unsigned long>(entry.uncompressedSize),
                      static_cast<unsigned long>(entry.compressedSize),
                      entry.method == kMethodDeflated ? "deflated" : "stored", t.year, t.month,
                      t.day, t.hour, t.minute, t.second);
        out << line << cp1252ToDisplayUtf8(entry.name) << "\n";
    }
}

int runList(const std::filesystem::path& package, std::ostream& out, std::ostream& err) {
    std::ifstream in(package, std::ios::binary);
    if (!in) {
        err << "zorpack: error: " << package.u8string() << ": cannot be opened\n";
        return 1;
    }
    ArchiveDirectory directory;
    std::string error;
    if (!readArchiveDirectory(in, directory, error)) {
        err << "zorpack: error: " << package.u8string() << ": " << error << "\n";
        return 1;
    }
    printListing(directory, out);
    return 0;
}

} // namespace zorpack
