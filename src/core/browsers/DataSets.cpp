#include "core/browsers/DataSet.h"
#include "core/services/Text.h"

namespace vellarion {

const std::vector<const BrowserDataSet*>& allDataSets() {
    // The six the program was made with, then today's browsers by family.
    static const std::vector<const BrowserDataSet*> all{
        &internetExplorerDataSet(), &firefoxDataSet(),     &chromeDataSet(),  &operaDataSet(),
        &safariDataSet(),           &flockDataSet(),       &edgeDataSet(),    &braveDataSet(),
        &vivaldiDataSet(),          &operaStableDataSet(), &operaGxDataSet(), &chromiumDataSet(),
        &libreWolfDataSet(),        &waterfoxDataSet(),    &floorpDataSet(),  &zenDataSet(),
    };
    return all;
}

const SelectiveItem* SelectiveWizardData::itemOfBox(std::string_view checkBox) const {
    for (const SelectiveItem& each : items) {
        if (each.checkBox == checkBox) {
            return &each;
        }
    }
    return nullptr;
}

const SelectiveItem* SelectiveWizardData::itemOfKey(std::string_view key) const {
    for (const SelectiveItem& each : items) {
        if (!each.key.empty() && equalsIgnoreCase(each.key, key)) {
            return &each;
        }
    }
    return nullptr;
}

std::vector<const BrowserDataSet*> dataSetsNamed(std::string_view name) {
    std::vector<const BrowserDataSet*> named;
    for (const BrowserDataSet* data : allDataSets()) {
        if (equalsIgnoreCase(data->cliName(), name) || equalsIgnoreCase(data->ownCliName(), name)) {
            named.push_back(data);
        }
    }
    return named;
}

const BrowserDataSet* findDataSet(std::string_view id) {
    for (const BrowserDataSet* data : allDataSets()) {
        if (equalsIgnoreCase(data->id, id)) {
            return data;
        }
    }
    return nullptr;
}

} // namespace vellarion
