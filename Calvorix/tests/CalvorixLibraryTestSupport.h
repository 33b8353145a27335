// Loads libCalvorix.so from the program folder by name, as the print library does, and calls its
// two exports with 2048-byte result buffers.
#pragma once

#include <dlfcn.h>

#include <string>

#include "Calvorix.h"

namespace calvorix_test {

class CalvorixLibrary {
  public:
    CalvorixLibrary() {
        handle_ = dlopen(TW_DIST_DIR "/libCalvorix.so", RTLD_NOW | RTLD_LOCAL);
        if (handle_ == nullptr) return;
        variantTable_ = reinterpret_cast<MyGetVariantTableFn>(dlsym(handle_, "MyGetVariantTable"));
        parser_ = reinterpret_cast<MyParserFn>(dlsym(handle_, "MyParser"));
    }
    ~CalvorixLibrary() {
        if (handle_ != nullptr) dlclose(handle_);
    }
    CalvorixLibrary(const CalvorixLibrary&) = delete;
    CalvorixLibrary& operator=(const CalvorixLibrary&) = delete;

    bool Loaded() const { return variantTable_ != nullptr && parser_ != nullptr; }

    std::string Variables(const char* expression) const {
        char result[CALVORIX_RESULT_SIZE];
        int rc = variantTable_(expression, result);
        return rc == 0 ? std::string(result) : std::string("<rc>");
    }

    // `values` separates the values with '|', which stands for the 0x05 separator byte.
    std::string Parse(const char* expression, const char* values = nullptr) const {
        char result[CALVORIX_RESULT_SIZE];
        std::string list;
        if (values != nullptr) {
            list = values;
            for (char& c : list) {
                if (c == '|') c = '\x05';
            }
        }
        int rc = parser_(expression, values != nullptr ? list.c_str() : nullptr, result);
        return rc == 0 ? std::string(result) : std::string("<rc>");
    }

  private:
    void* handle_ = nullptr;
    MyGetVariantTableFn variantTable_ = nullptr;
    MyParserFn parser_ = nullptr;
};

}  // namespace calvorix_test
