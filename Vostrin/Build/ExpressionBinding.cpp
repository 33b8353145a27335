#include "ExpressionBinding.h"

#include <dlfcn.h>

#include <cstring>
#include <vector>

#include "Calvorix.h"
#include "TreeUtils.h"

namespace TVostrin {
namespace {

// Process-wide binding. Kept with internal linkage so that a second copy of this library
// loaded from another folder uses its own binding and its own folder.
void* g_module = nullptr;
MyGetVariantTableFn g_getVariantTable = nullptr;
MyParserFn g_parser = nullptr;
std::string g_folderOverride;

void Anchor() {}

std::string OwnFolder() {
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&Anchor), &info) == 0 || info.dli_fname == nullptr)
        return ".";
    std::string path = info.dli_fname;
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Kept internal (like the binding) so that each loaded copy searches its own folder.
std::string SearchFolder() {
    return g_folderOverride.empty() ? OwnFolder() : g_folderOverride;
}

void Release() {
    if (g_module != nullptr) dlclose(g_module);
    g_module = nullptr;
    g_getVariantTable = nullptr;
    g_parser = nullptr;
}

// One zero-filled result area per call, always terminated before it is read.
std::string CallIntoArea(const std::string& expression, const char* values, bool parse) {
    std::vector<char> area(CALVORIX_RESULT_SIZE, '\0');
    if (parse)
        g_parser(expression.c_str(), values, area.data());
    else
        g_getVariantTable(expression.c_str(), area.data());
    area.back() = '\0';
    return std::string(area.data());
}

}  // namespace

void SetExpressionLibraryFolder(const std::string& folder) {
    g_folderOverride = folder;
}

std::string ExpressionLibraryFolder() {
    return SearchFolder();
}

int BindExpressionLibrary() {
    Release();
    const std::string path = SearchFolder() + "/libCalvorix.so";
    void* module = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (module == nullptr) return VOSTRIN_NO_EXPRESSION_LIBRARY;
    auto getVariantTable =
        reinterpret_cast<MyGetVariantTableFn>(dlsym(module, "MyGetVariantTable"));
    auto parser = reinterpret_cast<MyParserFn>(dlsym(module, "MyParser"));
    if (getVariantTable == nullptr || parser == nullptr) {
        dlclose(module);
        return VOSTRIN_EXPRESSION_LIBRARY_INCOMPLETE;
    }
    g_module = module;
    g_getVariantTable = getVariantTable;
    g_parser = parser;
    return 0;
}

void ReleaseExpressionLibrary() {
    Release();
}

bool ExpressionLibraryBound() {
    return g_module != nullptr;
}

std::string ExpressionVariables(const std::string& expression) {
    if (g_getVariantTable == nullptr) return {};
    return CallIntoArea(expression, nullptr, false);
}

std::string ParseExpression(const std::string& expression, const std::string& values) {
    if (g_parser == nullptr) return "###";
    return CallIntoArea(expression, values.c_str(), true);
}

std::string CollectValues(const std::string& variables, const TXml* start) {
    std::string values;
    std::string rest = variables;
    std::string name;
    while (CutAtFirst(&name, &rest, ",") == 0) {
        XmlPtr node(start != nullptr ? start->FindNodeByTag(start, name) : nullptr);
        if (node) values += node->AttributeValue("value");
        values += '\x05';
    }
    if (!values.empty()) values.pop_back();
    return values;
}

int EvaluateExpression(const std::string& expression, const TXml* record, std::string* result) {
    const std::string variables = ExpressionVariables(expression);
    if (variables.empty()) {
        *result = ParseExpression(expression, std::string());
        return 0;
    }
    *result = ParseExpression(expression, CollectValues(variables, record));
    return 0;
}

}  // namespace TVostrin
