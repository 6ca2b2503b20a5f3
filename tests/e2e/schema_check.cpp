#include "schema_check.h"

#include "support/test_support.h"

namespace kw39::test {

std::string SchemaPath(int mode) {
    return SourcePath(mode == 1 ? "docs/kw39-standard.xsd" : "docs/kw39-simple.xsd");
}

std::optional<ProgramResult> ValidateWithSchema(const std::string& path, int mode,
                                                const std::string& scratchDir) {
    const std::optional<std::string> xmllint = FindOnPath("xmllint");
    if (!xmllint) return std::nullopt;
    return RunProgram(*xmllint, {"--noout", "--schema", SchemaPath(mode), path}, scratchDir);
}

}  // namespace kw39::test
