#include "package_members.h"

#include "member_names.h"

namespace zorpack {

std::ptrdiff_t PackageMembers::find(const std::string& cp1252Name) const {
    if (cp1252Name.empty())
        return -1;
    const std::string wanted = foldCaseCp1252(cp1252Name);
    const std::vector<std::string>& all = names();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (foldCaseCp1252(all[i]) == wanted)
            return static_cast<std::ptrdiff_t>(i);
    return -1;
}

} // namespace zorpack
