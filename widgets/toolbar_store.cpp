#include "widgets/toolbar_store.h"

#include "config/configuration.h"

TToolbarPositionStore ComponentPositionStore(const TComponent* window) {
    TToolbarPositionStore store;
    store.WriteInteger = [window](const std::string& name, int32_t value) {
        WriteComponentValue(window, name, TNodeValue::Of(value));
    };
    store.WriteString = [window](const std::string& name, const std::string& value) {
        WriteComponentValue(window, name, TNodeValue::Of(value));
    };
    store.ReadInteger = [window](const std::string& name, int32_t defaultValue) {
        return ReadComponentValue(window, name, TNodeValue::Of(defaultValue)).Integer;
    };
    store.ReadString = [window](const std::string& name, const std::string& defaultValue) {
        return ReadComponentValue(window, name, TNodeValue::Of(defaultValue)).String;
    };
    return store;
}
