#include "package_check.h"

#include "archive_members.h"
#include "cp1252.h"
#include "package_view.h"

#include "des_crypt.h"

#include <algorithm>
#include <cctype>

namespace zorpack {
namespace {

// The launcher's fixed text fields hold 260 characters; it ignores a longer configuration name.
constexpr std::size_t kLauncherNameMax = 260;

const char* const kKnownSettings[] = {"DISABLE_INSTALL_BUTTON", "DISABLE_EXTRACT_BUTTON",
                                      "DISABLE_VIEW_CONTENTS", "LARGE_WINDOW"};

std::string quoted(const std::string& text) {
    return "\"" + text + "\"";
}

std::string plural(std::size_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

// Finds a member by the UTF-8 name a document gives, as the launcher looks it up.
std::ptrdiff_t findByText(const PackageMembers& members, const std::string& utf8) {
    std::string cp1252, ignored;
    return utf8ToCp1252(utf8, cp1252, ignored) ? members.find(cp1252) : -1;
}

std::string backslashesToSlashes(std::string name) {
    for (char& c : name)
        if (c == '\\')
            c = '/';
    return name;
}

// The launcher turns a map's dest into a number the way strtol does: optional blanks and sign,
// digits up to the first other character, 0 without digits.
bool isSignedDecimal(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    if (i < text.size() && (text[i] == '-' || text[i] == '+'))
        ++i;
    if (i == text.size() || text.size() - i > 10)
        return false;
    for (; i < text.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(text[i])))
            return false;
    return true;
}

class Checker {
public:
    Checker(const PackageMembers& members, const std::string& packageFileName) : members_(members) {
        view_.load(members, packageFileName);
    }

    CheckReport run() {
        if (checkDefinition()) {
            checkInstallCommand();
            report_.facts.emplace_back("sw key", describe(view_.swKeyName()) + ", expected path " +
                                                     describe(view_.swKeyExpectedPath()));
        }
        if (checkPackageData()) {
            checkSettings();
            checkMaps();
            checkConfiguration();
            checkLicense();
        }
        return std::move(report_);
    }

private:
    static std::string describe(const std::string* text) {
        return text != nullptr ? quoted(*text) : "(none)";
    }

    void error(std::string text) { report_.errors.push_back(std::move(text)); }
    void warning(std::string text) { report_.warnings.push_back(std::move(text)); }

    bool checkDefinition() {
        const std::string member = cp1252ToDisplayUtf8(view_.definitionMember());
        switch (view_.definitionSource()) {
        case DefinitionSource::None:
            error("no package definition: no member is named " +
                  quoted(view_.expectedDefinitionName()) +
                  " and no \".xml\" member has the root zor_package with version " +
                  kDefinitionVersion);
            return false;
        case DefinitionSource::NamedAfterPackage:
            report_.facts.emplace_back("definition", member + " (named after the package file)");
            break;
        case DefinitionSource::FoundByVersion:
            report_.facts.emplace_back("definition", member + " (found by its root version " +
                                                         kDefinitionVersion + ")");
            break;
        }
        if (!view_.definitionProblem().empty()) {
            error(member + ": " + view_.definitionProblem());
            return false;
        }
        if (view_.definitionRoot() == nullptr) {
            error(member + ": the root element is not zor_package, so the launcher finds nothing "
                           "in it");
            return false;
        }
        const std::string* version = view_.definitionRootVersion();
        if (version == nullptr || !equalsIgnoringCase(*version, kDefinitionVersion))
            warning(member + ": the root version is " + describe(version) + ", not " +
                    kDefinitionVersion +
                    ": the launcher finds this definition only while the "
                    "package file keeps its name");
        report_.facts.emplace_back("file name", describe(view_.fileName()));
        report_.facts.emplace_back("name (en)", describe(view_.localizedName()));
        report_.facts.emplace_back("version", describe(view_.version()));
        return true;
    }

    void checkInstallCommand() {
        // Without the install button the package can only be extracted, so a missing setup
        // utility is then no obstacle.
        const bool extractOnly = [&] {
            const std::string* value = view_.setting("DISABLE_INSTALL_BUTTON");
            return value != nullptr && *value == "1";
        }();
        const std::string* command = view_.installCommand();
        std::string problem;
        if (command == nullptr || command->empty()) {
            problem = "the definition names no install command (installation/install/command)";
        } else {
            report_.facts.emplace_back("install command", quoted(*command));
            if (const std::string* params = view_.installParams())
                report_.facts.emplace_back("command params", quoted(*params));
            // The launcher starts "<folder>\<command>", where either separator works.
            const std::ptrdiff_t index = findByText(members_, backslashesToSlashes(*command));
            if (index < 0 || members_.names()[static_cast<std::size_t>(index)].back() == '/')
                problem =
                    "the install command " + quoted(*command) + " is not a file of the package";
        }
        if (problem.empty())
            return;
        if (extractOnly)
            warning(problem + "; the package is extract-only (DISABLE_INSTALL_BUTTON is on)");
        else
            error(problem);
    }

    bool checkPackageData() {
        if (!view_.hasPackageData()) {
            report_.facts.emplace_back("package data", "(none: no settings, maps, configuration "
                                                       "or license)");
            return false;
        }
        report_.facts.emplace_back("package data", kPackageDataMember);
        // The launcher silently ignores a package data file it cannot parse, which would ship
        // the package without its maps and configuration.
        if (!view_.packageDataProblem().empty()) {
            error(std::string(kPackageDataMember) + ": " + view_.packageDataProblem());
            return false;
        }
        if (view_.dataRoot() == nullptr) {
            warning(std::string(kPackageDataMember) +
                    ": the root element is not vx_pkg_data, so the launcher finds nothing in it");
            return false;
        }
        return true;
    }

    void checkSettings() {
        std::string on;
        for (const auto& [name, value] : view_.settings()) {
            bool known = false;
            for (const char* setting : kKnownSettings)
                known = known || equalsIgnoringCase(name, setting);
            if (!known)
                warning("setting " + quoted(name) + " is not one the launcher knows");
            if (value == "1")
                on += (on.empty() ? "" : ", ") + name;
            else if (known && value != "0" && !value.empty())
                warning("setting " + quoted(name) + " has the value " + quoted(value) +
                        ", which is off: only the value \"1\" turns a setting on");
        }
        report_.facts.emplace_back("settings on", on.empty() ? "(none)" : on);
    }

    void checkMaps() {
        std::string arguments;
        for (const MapEntry& entry : view_.argumentMap())
            arguments += (arguments.empty() ? "" : ", ") + entry.source + " -> " +
                         (entry.dest ? *entry.dest : "(kept)");
        if (!arguments.empty())
            report_.facts.emplace_back("argument map", arguments);

        std::string codes;
        for (const MapEntry& entry : view_.returnCodeMap()) {
            codes += (codes.empty() ? "" : ", ") + entry.source + " -> " +
                     (entry.dest ? *entry.dest : "(kept)");
            if (!isSignedDecimal(entry.source))
                warning("returncode_map: the source " + quoted(entry.source) +
                        " is not a decimal number and never matches an exit code");
            if (entry.dest && !isSignedDecimal(*entry.dest))
                warning("returncode_map: the dest " + quoted(*entry.dest) + " for " + entry.source +
                        " is not a decimal number; the launcher reads it as " +
                        "far as it has digits (0, a failure, without any)");
        }
        if (!codes.empty())
            report_.facts.emplace_back("return code map", codes);
    }

    // A file name the launcher takes from the package data; false when it would be refused.
    bool checkName(const char* what, const std::string& name) {
        if (!staysInsideFolder(name)) {
            error(std::string(what) + " " + quoted(name) +
                  " would lead outside the extraction folder");
            return false;
        }
        if (name.size() > kLauncherNameMax) {
            error(std::string(what) + " " + quoted(name) + " is longer than " +
                  std::to_string(kLauncherNameMax) + " characters, which the launcher ignores");
            return false;
        }
        return true;
    }

    // A member the launcher looks up by the exact name; a name written with backslashes does
    // not match the archive's "/", which deserves a hint.
    std::ptrdiff_t findNamed(const char* what, const std::string& name) {
        const std::ptrdiff_t index = findByText(members_, name);
        if (index < 0) {
            std::string hint;
            if (findByText(members_, backslashesToSlashes(name)) >= 0)
                hint = " (the launcher compares names exactly: write " +
                       quoted(backslashesToSlashes(name)) + ")";
            warning(std::string(what) + " " + quoted(name) + " is not in the package" + hint);
        }
        return index;
    }

    void checkConfiguration() {
        const ConfigurationFacts config = view_.configuration();
        report_.facts.emplace_back("virtualized guests",
                                   config.virtualizationAllowed ? "allowed" : "refused");
        if (!config.found)
            return;
        if (config.configUiFile) {
            checkName("the configuration UI file", *config.configUiFile);
            report_.facts.emplace_back("configuration UI", quoted(*config.configUiFile));
        }
        if (!config.configFile)
            return;
        const std::string& name = *config.configFile;
        report_.facts.emplace_back("configuration", quoted(name) +
                                                        (config.encrypt ? " (encrypted)" : "") +
                                                        (config.required ? " (required)" : ""));
        if (!checkName("the configuration file", name))
            return;
        if (!config.configUiFile)
            warning("the configuration file " + quoted(name) +
                    " has no configui file: the launcher extracts it as stored" +
                    (config.encrypt ? " (hexadecimal text)" : "") + " and writes nothing");
        const std::ptrdiff_t index = findNamed("the configuration file", name);
        if (index < 0)
            return;
        const std::string member = members_.names()[static_cast<std::size_t>(index)];
        if (config.encrypt &&
            (member == view_.definitionMember() || equalsIgnoringCase(member, kPackageDataMember)))
            error("the configuration file " + quoted(name) +
                  " is a package document; it cannot be stored encrypted");
        std::vector<unsigned char> bytes;
        std::string problem;
        // The launcher fails to load the package when it cannot read the configuration file.
        if (!members_.read(static_cast<std::size_t>(index), bytes, problem)) {
            error("the configuration file " + quoted(name) + ": " + problem);
            return;
        }
        if (config.encrypt)
            checkEncrypted(name, bytes);
    }

    void checkEncrypted(const std::string& name, const std::vector<unsigned char>& hex) {
        const std::string* fileName = view_.fileName();
        std::string key, problem;
        if (fileName == nullptr || fileName->empty()) {
            error("the configuration file " + quoted(name) +
                  " is encrypted, but the definition's filename, the key text, is empty");
            return;
        }
        if (!utf8ToCp1252(*fileName, key, problem)) {
            error("the definition's filename, the key text, has no Windows-1252 form: " + problem);
            return;
        }
        DesCrypt des;
        std::vector<unsigned char> plain;
        try {
            des.SetPackageKey(key.c_str());
            des.DecryptHex(reinterpret_cast<const char*>(hex.data()), hex.size(), &plain);
        } catch (const DesCryptException& e) {
            error("the configuration file " + quoted(name) +
                  " cannot be decrypted by the launcher: " + e.Text());
            return;
        }
        report_.facts.emplace_back("decrypted size", plural(plain.size(), "byte"));
    }

    void checkLicense() {
        const std::string* license = view_.licenseFile();
        if (license == nullptr || license->empty())
            return;
        report_.facts.emplace_back("license (en)", quoted(*license));
        if (checkName("the license file", *license))
            findNamed("the license file", *license);
    }

    const PackageMembers& members_;
    PackageView view_;
    CheckReport report_;
};

} // namespace

bool staysInsideFolder(const std::string& name) {
    if (name.empty() || name[0] == '/' || name[0] == '\\' || name.find(':') != std::string::npos)
        return false;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string::npos)
            end = name.size();
        if (name.compare(start, end - start, "..") == 0)
            return false;
        start = end + 1;
    }
    return true;
}

CheckReport checkPackage(const PackageMembers& members, const std::string& packageFileName) {
    return Checker(members, packageFileName).run();
}

void printReport(const CheckReport& report, const std::string& packageLabel, std::ostream& out,
                 std::ostream& err) {
    out << packageLabel << ": what the launcher will find\n";
    for (const auto& [label, value] : report.facts) {
        std::string padded = "  " + label + ":";
        padded.resize(std::max<std::size_t>(padded.size() + 1, 22), ' ');
        out << padded << value << "\n";
    }
    for (const std::string& warning : report.warnings)
        err << "zorpack: warning: " << warning << "\n";
    for (const std::string& error : report.errors)
        err << "zorpack: error: " << error << "\n";
    if (report.usable())
        out << packageLabel << ": the launcher can use this package ("
            << plural(report.warnings.size(), "warning") << ")\n";
    else
        err << "zorpack: error: " << packageLabel << ": the launcher could not use this package ("
            << plural(report.errors.size(), "problem") << ")\n";
}

int runCheck(const std::filesystem::path& package, std::ostream& out, std::ostream& err) {
    ArchiveMembers members;
    std::string error;
    if (!members.open(package, error)) {
        err << "zorpack: error: " << package.u8string() << ": " << error << "\n";
        return 1;
    }
    const std::string fileName = package.filename().u8string();
    const CheckReport report = checkPackage(members, fileName);
    printReport(report, fileName, out, err);
    return report.usable() ? 0 : 1;
}

} // namespace zorpack
