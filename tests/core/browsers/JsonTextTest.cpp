// A browser's "Local State" changed where the program changes it and
// nowhere else: number forms, spacing and duplicate keys stay as written.
#include "core/browsers/JsonText.h"

#include "core/browsers/ChromeLocalState.h"
#include "core/browsers/ChromiumKeys.h"
#include "core/services/Error.h"

#include <gtest/gtest.h>

namespace vellarion {
namespace {

struct Edit {
    std::string before;
    std::vector<std::string> path;
    std::string value;
    std::string after;
};

TEST(JsonText, AMemberChangesAndEveryOtherByteStays) {
    const std::vector<Edit> edits = {
        // The value alone changes; "1.10", "1e5", the spacing stay.
        {"{\n  \"a\": 1.10, \"b\":1e5,\n  \"os_crypt\" : { \"encrypted_key\" : \"old\", "
         "\"x\":[1,2] }\n}",
         {"os_crypt", "encrypted_key"},
         "\"new\"",
         "{\n  \"a\": 1.10, \"b\":1e5,\n  \"os_crypt\" : { \"encrypted_key\" : \"new\", "
         "\"x\":[1,2] }\n}"},
        // Missing on the way: made at the object's end.
        {"{\"a\":1.10}",
         {"os_crypt", "encrypted_key"},
         "\"k\"",
         "{\"a\":1.10,\"os_crypt\":{\"encrypted_key\":\"k\"}}"},
        {"{\"os_crypt\":{}}",
         {"os_crypt", "encrypted_key"},
         "\"k\"",
         "{\"os_crypt\":{\"encrypted_key\":\"k\"}}"},
        {"  ", {"os_crypt", "encrypted_key"}, "\"k\"", "{\"os_crypt\":{\"encrypted_key\":\"k\"}}"},
        // No object where one must be: replaced by one.
        {"{\"os_crypt\":\"broken\",\"z\":0}",
         {"os_crypt", "encrypted_key"},
         "\"k\"",
         "{\"os_crypt\":{\"encrypted_key\":\"k\"},\"z\":0}"},
        // A key held twice: the last, as a reader takes it; the first stays.
        {"{\"k\":1,\"k\":2}", {"k"}, "3", "{\"k\":1,\"k\":3}"},
        // Strings with braces, quotes and escapes inside are skipped whole.
        {"{\"s\":\"}{\\\",\",\"t\":{\"u\":\"]\"},\"k\":null}",
         {"k"},
         "true",
         "{\"s\":\"}{\\\",\",\"t\":{\"u\":\"]\"},\"k\":true}"},
        // An escaped key is the key it names.
        {"{\"os\\u005fcrypt\":{\"encrypted_key\":1}}",
         {"os_crypt", "encrypted_key"},
         "2",
         "{\"os\\u005fcrypt\":{\"encrypted_key\":2}}"},
    };
    for (const Edit& edit : edits) {
        SCOPED_TRACE(edit.before);
        EXPECT_EQ(withJsonMember(edit.before, edit.path, edit.value), edit.after);
    }
    for (const char* notAnObject : {"[1]", "{\"a\":", "\"text\"", "{} {}"}) {
        EXPECT_THROW(withJsonMember(notAnObject, {"a"}, "1"), Error) << notAnObject;
    }
}

TEST(JsonText, ItemsJoinAnArrayWhereThereIsOne) {
    EXPECT_EQ(withJsonArrayItem("{\"p\":{\"o\":[ ]}}", {"p", "o"}, "\"x\""),
              "{\"p\":{\"o\":[ \"x\"]}}");
    EXPECT_EQ(withJsonArrayItem("{\"p\":{\"o\":[\"a\" , 1.50]}}", {"p", "o"}, "\"x\""),
              "{\"p\":{\"o\":[\"a\" , 1.50,\"x\"]}}");
    EXPECT_EQ(withJsonArrayItem("{\"p\":{}}", {"p", "o"}, "\"x\""), "{\"p\":{}}");
    EXPECT_EQ(withJsonArrayItem("{\"p\":{\"o\":3}}", {"p", "o"}, "\"x\""), "{\"p\":{\"o\":3}}");
}

TEST(JsonText, TheBrowsersListAndKeyKeepWhatTheBrowserWrote) {
    const std::string localState =
        "{\"browser\":{\"last_redirect_origin\":\"\",\"zoom\":1.10},"
        "\"profile\":{\"info_cache\":{\"Default\":{\"name\":\"Person 1\"}},"
        "\"profiles_order\":[\"Default\"],\"seed\":1e5},\"dup\":1,\"dup\":2}";
    EXPECT_EQ(withProfileListed(localState, "Profile 1", "Work"),
              "{\"browser\":{\"last_redirect_origin\":\"\",\"zoom\":1.10},"
              "\"profile\":{\"info_cache\":{\"Default\":{\"name\":\"Person 1\"},"
              "\"Profile 1\":{\"name\":\"Work\",\"is_using_default_name\":false}},"
              "\"profiles_order\":[\"Default\",\"Profile 1\"],\"seed\":1e5},\"dup\":1,\"dup\":2}");
    EXPECT_EQ(withEncryptedKey(localState, "RFBBUEk="),
              localState.substr(0, localState.size() - 1) +
                  ",\"os_crypt\":{\"encrypted_key\":\"RFBBUEk=\"}}");
}

} // namespace
} // namespace vellarion
