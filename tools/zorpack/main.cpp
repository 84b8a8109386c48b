// zorpack: builds launcher packages and lists what they hold.
#include "platform.h"
#include "zorpack_main.h"

#include <cstdlib>
#include <exception>
#include <iostream>

int main(int argc, char** argv) {
    try {
        return zorpack::runZorpack(zorpack::programArguments(argc, argv),
                                   std::getenv("SOURCE_DATE_EPOCH"), std::cout, std::cerr);
    } catch (const std::exception& e) {
        // Only running out of memory or a library failure gets here.
        std::cerr << "zorpack: error: " << e.what() << "\n";
        return 1;
    }
}
