#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "morlund/items/DataItem.h"

namespace morlund {

// A channel defined by a formula over other channels. Its values are computed
// for a whole buffer at first use and kept in the buffer's item cache.
class CustomDataItem : public DataItem {
public:
    // Registers the item after every item made before it, at level LEVEL_CUSTOM.
    CustomDataItem(const char* name, const char* shortName, DataType dataType, Quantity quantity,
                   double minValue, double maxValue, double unitConversionFactor,
                   const char* formula);

    double GetMetricValue(const PerfCore* buffer, int sample, int wheel) const override;
    // The raw factor when it is set, else the quantity's rule.
    double GetUnitConversionFactor() const override;
    bool IsStandard() const override { return false; }

    // Loads the definition files (*.ini) of the program's formula folder and then of
    // every folder given, and builds the formula names.
    static void InitCustomDataItems(const std::vector<std::filesystem::path>& moreFolders = {});
    // The example formulas that come with the program: the folder "formula" beside
    // it (the build tree, Windows), else share/tarnwick/formula of its installation.
    static std::filesystem::path ProgramFormulaFolder();
    // The user's own formula folder: "Ravelle/Tarnwick/formula" in the user's application
    // data folder (XDG_DATA_HOME, else ~/.local/share; %APPDATA% on Windows). Empty when
    // the system names none.
    static std::filesystem::path UserFormulaFolder();
    // Builds the names formulas use: every item's short name (the first item
    // of a name wins; standard items come first) and the wheel selectors.
    static void BuildFormulaNames();

    const std::string& GetFormula() const { return m_formula; }
    // Setters only store: caches and formula names are left as they are.
    void SetFormula(const char* formula) { m_formula = formula; }
    void SetName(const char* name) { DataItem::SetName(name); }
    void SetShortName(const char* shortName) { DataItem::SetShortName(shortName); }
    void SetDataType(DataType dataType) { DataItem::SetDataType(dataType); }
    void SetLevel(Level level) { DataItem::SetLevel(level); }
    void SetQuantity(Quantity quantity) { DataItem::SetQuantity(quantity); }
    void SetMinValue(double value) { DataItem::SetMinValue(value); }
    void SetMaxValue(double value) { DataItem::SetMaxValue(value); }
    void SetRawUnitConversionFactor(double factor) { m_rawFactor = factor; }
    double GetRawUnitConversionFactor() const { return m_rawFactor; }

    // Drops this item's cached values of a buffer (after its formula changed).
    void FlushCache(const PerfCore* buffer) const;

    // The short name a definition file's name gives: lower case, without
    // ".ini", letters only, and digits after the first character.
    static std::string ShortNameFromFileName(const std::string& fileName);

protected:
    // Loads the definition files of one folder, in name order.
    static void LoadCustomDataItems(const std::filesystem::path& folder);
    // Parses and evaluates the formula for one sample.
    double DoGetMetricValue(const PerfCore* buffer, int sample, int wheel) const;

private:
    // Computes the whole buffer for a wheel (-1: the car) into the cache.
    const double* Fill(const PerfCore* buffer, int wheel, int slot, const std::string& key) const;
    const std::string& CacheKey(bool car) const { return car ? m_carKey : m_wheelKey; }

    std::string m_formula;
    std::string m_wheelKey;  // cache names, fixed by the ordinal
    std::string m_carKey;
    double m_rawFactor;
};

}  // namespace morlund
