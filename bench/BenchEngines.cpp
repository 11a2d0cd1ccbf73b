#include "BenchEngines.h"

#include "Database.h"
#include "ProgramDir.h"

#include <cstdio>

namespace {
std::map<std::string, std::unique_ptr<EngineProgramDir>>& dirs()
{
    static std::map<std::string, std::unique_ptr<EngineProgramDir>> all;
    return all;
}
} // namespace

bool BenchEngines::prepare(const std::function<bool(EngineProgramDir&)>& fill)
{
    for (const QString& engine : EngineProgramDir::engines()) {
        auto dir = std::make_unique<EngineProgramDir>(engine);
        if (!dir->ready()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(engine), qPrintable(dir->skipReason()));
            continue;
        }
        if (!fill(*dir))
            return false;
        Database::closeAll();
        dirs().emplace(engine.toStdString(), std::move(dir));
    }
    return true;
}

bool BenchEngines::use(const std::string& engine)
{
    auto it = dirs().find(engine);
    if (it == dirs().end())
        return false;
    Database::closeAll();
    ProgramDir::set(it->second->path());
    return true;
}

EngineProgramDir& BenchEngines::dir(const std::string& engine)
{
    return *dirs().at(engine);
}

void BenchEngines::clear()
{
    Database::closeAll();
    dirs().clear();
}
