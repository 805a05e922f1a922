// descriptor FILE: the collections of a report descriptor file.

#include "command.h"

#include "quellix/hid/descriptor.h"

#include <vector>

namespace quellix::tools {

int runDescriptor(CommandArgs args, CommandContext& context) {
    std::vector<std::uint8_t> bytes;
    hid::ParseResult loaded = hid::loadDescriptorFile(args[0], bytes);
    if (!loaded.ok) {
        context.err << "quellixctl: " << args[0] << ": " << loaded.error << '\n';
        return kExitFailure;
    }
    hid::ParsedDescriptor descriptor;
    hid::ParseResult parsed = hid::parseReportDescriptor(bytes, descriptor);
    if (!parsed.ok) {
        context.err << "quellixctl: " << args[0] << ": " << parsed.error << '\n';
        return kExitFailure;
    }
    context.out << hid::describeCollections(descriptor);
    return kExitOk;
}

} // namespace quellix::tools
