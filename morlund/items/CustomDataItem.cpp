#include "morlund/items/CustomDataItem.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>

#include "morlund/core/PerfCore.h"
#include "morlund/items/Formula.h"
#include "morlund/items/Wheel.h"
#include "morlund/platform/File.h"
#include "morlund/platform/IniFile.h"
#include "morlund/platform/MessageSink.h"
#include "morlund/platform/Process.h"
#include "morlund/platform/Text.h"

namespace morlund {

namespace {

// A fill in progress, for finding formulas that reach their own item.
struct Fill {
    const PerfCore* buffer;
    const CustomDataItem* item;
    int wheel;
    bool circular;
};
std::vector<Fill> g_fills;

constexpr const char* kSection = "DataItem";

std::int64_t ToInteger(const std::optional<std::string>& text, std::int64_t absent) {
    return text ? std::strtoll(text->c_str(), nullptr, 0) : absent;
}

double ToDouble(const std::optional<std::string>& text, double absent) {
    return text ? std::strtod(text->c_str(), nullptr) : absent;
}

}  // namespace

CustomDataItem::CustomDataItem(const char* name, const char* shortName, DataType dataType,
                               Quantity quantity, double minValue, double maxValue,
                               double unitConversionFactor, const char* formula)
    : DataItem(name, shortName, dataType, LEVEL_CUSTOM, quantity, minValue, maxValue),
      m_formula(formula),
      // Cached by item, not by display name: two items of the same name never
      // share values, and a renamed item keeps its own.
      m_wheelKey(Format("#%d", GetOrdinal())),
      m_carKey(Format("#%d@car", GetOrdinal())),
      m_rawFactor(unitConversionFactor) {}

double CustomDataItem::GetUnitConversionFactor() const {
    return m_rawFactor != 0.0 ? m_rawFactor : DataItem::GetUnitConversionFactor();
}

double CustomDataItem::GetMetricValue(const PerfCore* buffer, int sample, int wheel) const {
    if (buffer == nullptr || sample < 0 || sample >= buffer->GetSampleCount()) return 0.0;
    // A car item, or a wheel that is not a real one, is evaluated for the car
    // and kept apart from the wheels' values.
    const bool car = GetDataType() == DT_CAR || wheel < 0 || wheel > 3;
    const int slot = car ? 0 : wheel;
    const std::string& key = CacheKey(car);
    const double* values = buffer->GetCachedItem(slot, key.c_str());
    if (values == nullptr) values = Fill(buffer, car ? -1 : wheel, slot, key);
    return values != nullptr ? values[sample] : 0.0;
}

const double* CustomDataItem::Fill(const PerfCore* buffer, int wheel, int slot,
                                   const std::string& key) const {
    for (auto& fill : g_fills) {
        if (fill.buffer == buffer && fill.item == this && fill.wheel == wheel) {
            // Everything filled since this item started depends on itself.
            bool inCycle = false;
            for (auto& f : g_fills) {
                inCycle = inCycle || &f == &fill;
                if (inCycle) f.circular = true;
            }
            const std::string marker = key + "!circular";
            if (buffer->GetCachedItem(0, marker.c_str()) == nullptr) {
                buffer->SetCachedItem(0, marker.c_str(), std::make_unique<double[]>(1));
                ShowMessage(Format("Circular reference in formula: '%s'", GetShortName().c_str()));
            }
            return nullptr;  // the reference reads 0
        }
    }

    const int n = buffer->GetSampleCount();
    auto values = std::make_unique<double[]>(static_cast<std::size_t>(n));
    const FormulaProgram program =
        FormulaProgram::Compile(m_formula, FormulaNames::Global(), wheel);
    g_fills.push_back({buffer, this, wheel, false});
    if (program.IsValid()) {
        for (int i = 0; i < n; ++i)
            values[static_cast<std::size_t>(i)] = program.Evaluate(buffer, i, wheel);
    } else {
        program.ShowMessagesOfFailedParse(buffer, wheel);
        if (wheel == 0 || wheel == -1) {
            ShowMessage(
                Format("Parse error in formula: '%s'.\n\nExpression: %s\n\nStopped at: %s",
                       GetShortName().c_str(), m_formula.c_str(),
                       m_formula.c_str() + std::min(program.StopOffset(), m_formula.size())));
        }
    }
    const bool circular = g_fills.back().circular;
    g_fills.pop_back();
    if (circular) std::fill(values.get(), values.get() + n, 0.0);
    const double* stored = values.get();
    buffer->SetCachedItem(slot, key.c_str(), std::move(values));
    return stored;
}

double CustomDataItem::DoGetMetricValue(const PerfCore* buffer, int sample, int wheel) const {
    const FormulaProgram program =
        FormulaProgram::Compile(m_formula, FormulaNames::Global(), wheel);
    if (program.IsValid()) return program.Evaluate(buffer, sample, wheel);
    if (sample == 0) {
        program.ShowMessagesOfFailedParse(buffer, wheel);
        if (wheel == 0 || wheel == -1) {
            ShowMessage(
                Format("Parse error in formula: '%s'.\n\nExpression: %s\n\nStopped at: %s",
                       GetShortName().c_str(), m_formula.c_str(),
                       m_formula.c_str() + std::min(program.StopOffset(), m_formula.size())));
        }
    }
    return 0.0;
}

void CustomDataItem::FlushCache(const PerfCore* buffer) const {
    if (buffer == nullptr) return;
    buffer->FlushCachedItem(CacheKey(false).c_str());
    buffer->FlushCachedItem(CacheKey(true).c_str());
}

// --- definition files ---------------------------------------------------------------

std::string CustomDataItem::ShortNameFromFileName(const std::string& fileName) {
    std::string lower;
    for (const char c : fileName)
        lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
    if (EndsWithNoCase(lower, ".ini")) lower.resize(lower.size() - 4);
    std::string shortName;
    for (const char c : lower) {
        const auto u = static_cast<unsigned char>(c);
        if (std::isalpha(u) != 0 && u < 0x80) {
            shortName.push_back(c);
        } else if (std::isdigit(u) != 0 && !shortName.empty()) {
            shortName.push_back(c);
        }
    }
    return shortName;
}

void CustomDataItem::LoadCustomDataItems(const std::filesystem::path& folder) {
    std::error_code ec;
    std::vector<std::filesystem::path> files;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        if (!it->is_directory(ec) && EndsWithNoCase(PathToUtf8(it->path().filename()), ".ini")) {
            files.push_back(it->path());
        }
    }
    // Name order, ignoring case, as the game folders' file systems list them.
    std::sort(files.begin(), files.end(), [](const auto& a, const auto& b) {
        std::string x = PathToUtf8(a.filename()), y = PathToUtf8(b.filename());
        for (auto* t : {&x, &y}) {
            for (char& c : *t)
                c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return x < y;
    });
    for (const auto& path : files) {
        IniFile ini;
        if (!ini.Load(path)) continue;
        const std::string expression = ini.GetString(kSection, "Expression", "");
        if (expression.empty() || ToInteger(ini.Get(kSection, "Enable"), 1) == 0) continue;
        const std::string name = ini.GetString(kSection, "Name", expression);
        std::string shortName = ini.GetString(kSection, "ShortName", "");
        if (shortName.empty()) shortName = ShortNameFromFileName(PathToUtf8(path.filename()));
        if (shortName.empty()) continue;
        std::int64_t type = ToInteger(ini.Get(kSection, "Type"), 0);
        std::int64_t quantity = ToInteger(ini.Get(kSection, "Quantity"), Q_FACTOR);
        // Values outside the known ones would index the unit tables.
        if (type != DT_WHEEL && type != DT_CAR) type = DT_WHEEL;
        if (quantity < Q_LENGTH || quantity > Q_SPRING_CONSTANT) quantity = Q_FACTOR;
        const double minimum = ToDouble(ini.Get(kSection, "Minimum"), 0.0);
        const double maximum = ToDouble(ini.Get(kSection, "Maximum"), 100.0);
        const double factor = ToDouble(ini.Get(kSection, "UnitConversionFactor"), 0.0);
        DataItem::Adopt(std::make_unique<CustomDataItem>(
            name.c_str(), shortName.c_str(), static_cast<DataType>(type),
            static_cast<Quantity>(quantity), minimum, maximum, factor, expression.c_str()));
    }
}

void CustomDataItem::BuildFormulaNames() { FormulaNames::Global() = FormulaNames::FromCatalogue(); }

std::filesystem::path CustomDataItem::UserFormulaFolder() {
#if defined(_WIN32)
    const std::optional<std::string> appData = GetEnvironmentValue("APPDATA");
    if (!appData || appData->empty()) return {};
    const std::filesystem::path base = PathFromUtf8(*appData);
#else
    const std::optional<std::string> data = GetEnvironmentValue("XDG_DATA_HOME");
    const std::optional<std::string> home = GetEnvironmentValue("HOME");
    std::filesystem::path base;
    if (data && !data->empty()) {
        base = PathFromUtf8(*data);
    } else if (home && !home->empty()) {
        base = PathFromUtf8(*home) / ".local" / "share";
    } else {
        return {};
    }
#endif
    return base / "Ravelle" / "Tarnwick" / "formula";
}

std::filesystem::path CustomDataItem::ProgramFormulaFolder() {
    const std::filesystem::path program = ProgramPath();
    if (program.empty()) return {};
    const std::filesystem::path beside = program.parent_path() / "formula";
    std::error_code error;
    if (std::filesystem::is_directory(beside, error)) return beside;
    return program.parent_path().parent_path() / "share" / "tarnwick" / "formula";
}

void CustomDataItem::InitCustomDataItems(const std::vector<std::filesystem::path>& moreFolders) {
    const std::filesystem::path examples = ProgramFormulaFolder();
    if (!examples.empty()) LoadCustomDataItems(examples);
    for (const auto& folder : moreFolders)
        LoadCustomDataItems(folder);
    BuildFormulaNames();
}

}  // namespace morlund
