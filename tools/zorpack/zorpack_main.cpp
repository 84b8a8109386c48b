#include "zorpack_main.h"

#include "build_command.h"
#include "command_line.h"
#include "list_command.h"
#include "package_check.h"

namespace zorpack {

int runZorpack(const std::vector<std::string>& args, const char* sourceDateEpoch, std::ostream& out,
               std::ostream& err) {
    Command command;
    std::string error;
    if (!parseCommandLine(args, sourceDateEpoch, command, error)) {
        err << "zorpack: error: " << error << "\n" << kUsageText;
        return 2;
    }
    switch (command.kind) {
    case CommandKind::Build:
        return runBuild(command.build, out, err);
    case CommandKind::List:
        return runList(command.listPath, out, err);
    case CommandKind::Check:
        return runCheck(command.listPath, out, err);
    case CommandKind::Help:
        break;
    }
    out << kUsageText;
    return 0;
}

} // namespace zorpack
