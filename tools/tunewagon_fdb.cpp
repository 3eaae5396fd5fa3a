// tunewagon-fdb: shows what a store file (such as the settings file conf.fdb) holds.
//
//   tunewagon-fdb dump FILE   prints the store's tree (store_dump.h); FILE is a host path
//
// Exit codes: 0 shown, 1 the file cannot be read or is not a sound store file (one line on
// stderr), 2 wrong usage.
#include "store/fdb.h"
#include "store/store_dump.h"

#include "platform/drives.h"
#include "platform/files.h"

#include <iostream>
#include <string>

namespace {

int usage() {
    std::cerr << "usage: tunewagon-fdb dump FILE\n"
                 "  prints the items of the store file FILE, one per line\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "dump") {
        return usage();
    }
    std::string file = argv[2];
    std::string path = platform::toProgramPath(file);
    if (path.empty()) {
        std::cerr << "tunewagon-fdb: " << file << ": the file is on no mapped drive\n";
        return 1;
    }
    store::TfdbHandle handle;
    store::fdb_dbStart(handle);
    int code = store::fdb_dbLoad(handle, path, 1);
    if (code > 0) {
        std::cerr << "tunewagon-fdb: " << file << ": " << store::fdbCodeText(code);
        if (code == store::fdbcode::FileUnreadable) {
            std::cerr << " (" << platform::lastErrorText() << ")";
        }
        std::cerr << "\n";
        return 1;
    }
    store::dumpStore(handle, std::cout);
    return std::cout.flush() ? 0 : 1;
}
