#include "browsers/DataSet.h"
#include "services/Text.h"

namespace vellarion {

const std::vector<const BrowserDataSet*>& allDataSets() {
    static const std::vector<const BrowserDataSet*> all{&firefoxDataSet(), &flockDataSet()};
    return all;
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
