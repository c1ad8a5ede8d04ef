// kestrun_samples: writes the sample pictures and the prepared profile
// "Samples" into a data root.
//
//   kestrun_samples [--seed N] [--force] [DATA_ROOT]
//   kestrun_samples --print-root     the default data root, for scripts
//
// DATA_ROOT defaults to the application's own: the data folder
// ($KESTRUN_DATA_ROOT, else $XDG_DATA_HOME, else ~/.local/share) and
// "Tarvex AV/Halvorn" below it. A root that holds any of the files already
// is left alone unless --force is given.

#include "tools/samples/sampledataroot.h"
#include "tools/samples/sampleplate.h"

#include "objectmodel/toolfunctions.h"
#include "platform/core/exceptions.h"

#include <charconv>
#include <cstdio>
#include <exception>
#include <optional>
#include <string_view>

namespace {

using kestrun::samples::CSampleDataRoot;

constexpr unsigned kDefaultSeed = 18;

struct sOptions
{
    unsigned seed = kDefaultSeed;
    bool force = false;
    bool printRoot = false;
    std::filesystem::path root;
};

int Usage()
{
    std::fputs("usage: kestrun_samples [--seed N] [--force] [DATA_ROOT] | --print-root\n", stderr);
    return 2;
}

std::optional<unsigned> ParseSeed(std::string_view text)
{
    unsigned seed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
    if (error != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return seed;
}

std::optional<sOptions> ParseArguments(int argc, char** argv)
{
    sOptions options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--force") {
            options.force = true;
        } else if (argument == "--print-root") {
            options.printRoot = true;
        } else if (argument == "--seed" && i + 1 < argc) {
            const std::optional<unsigned> seed = ParseSeed(argv[++i]);
            if (!seed)
                return std::nullopt;
            options.seed = *seed;
        } else if (!argument.starts_with("-") && options.root.empty()) {
            options.root = argument;
        } else {
            return std::nullopt;
        }
    }
    if (options.root.empty())
        options.root = std::filesystem::path(GetDataRootPath().GetString());
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const std::optional<sOptions> options = ParseArguments(argc, argv);
    if (!options)
        return Usage();
    if (options->printRoot) {
        std::printf("%s\n", options->root.c_str());
        return 0;
    }

    const CSampleDataRoot target(options->root);
    const std::vector<std::filesystem::path> existing = target.GetExistingFiles();
    if (!existing.empty() && !options->force) {
        std::fprintf(stderr, "kestrun_samples: %s exists already; nothing written (--force writes over it)\n",
                     existing.front().c_str());
        return 1;
    }
    try {
        target.Write(options->seed);
    } catch (const CException& e) {
        std::fprintf(stderr, "kestrun_samples: %s\n", e.GetErrorMessage().GetString());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "kestrun_samples: %s\n", e.what());
        return 1;
    }
    const kestrun::samples::CSamplePlate plate(options->seed);
    std::printf("Samples (seed %u) in %s: %s with %zu colonies (%d pairs touching), %s, profile \"Samples\"\n",
                options->seed, target.GetRoot().c_str(), CSampleDataRoot::kPlateFile, plate.GetColonies().size(),
                plate.GetTouchingPairs(), CSampleDataRoot::kChamberFile);
    return 0;
}
