// Rules for the names of archive members: the launcher reads them as code page 1252 text and
// creates them as Windows files, so every name must be one that Windows can create.
#pragma once
#include <string>

namespace zorpack {

// Checks one path component (UTF-8) and converts it to code page 1252. Refuses characters that
// Windows does not allow in file names, reserved device names (CON, NUL, COM1...), names ending
// in a dot or a blank (Windows drops those, so two members could land on one file) and
// characters outside code page 1252.
bool makeMemberComponent(const std::string& utf8, std::string& cp1252, std::string& problem);

// Upper-cases code page 1252 text the way Windows compares file names, so that members which
// would land on the same file can be found.
std::string foldCaseCp1252(const std::string& cp1252);

} // namespace zorpack
