#include "FeatureDefinitions.h"
#include "FeatureIds.h"
#include "Role.h"

#include <gtest/gtest.h>
#include <map>

namespace kqvdr::remote {
namespace {

// Each <Command> or <Property> of a definition: its kind, identifier and the block it spans.
struct Member {
    std::string call; // "Command/X" or "Property/X"
    std::string block;
};

std::vector<Member> membersOf(std::string_view xml) {
    std::vector<Member> members;
    for (const char* kind : {"Command", "Property"}) {
        const std::string open = std::string("<") + kind + ">";
        const std::string close = std::string("</") + kind + ">";
        for (auto at = xml.find(open); at != std::string_view::npos; at = xml.find(open, at + 1)) {
            const auto end = xml.find(close, at);
            const std::string block(xml.substr(at, end - at));
            const auto id = block.find("<Identifier>") + 12;
            members.push_back(
                {std::string(kind) + "/" + block.substr(id, block.find("</Identifier>") - id),
                 block});
        }
    }
    return members;
}

// The roles as the laboratory asked for them, written out apart from the program's table.
const std::map<std::string, Role> kCommandRoles = {
    {"SetMode", Role::Operator},       {"SelectMethod", Role::Operator},
    {"Autozero", Role::Operator},      {"SetTransferLine", Role::Operator},
    {"ClearFault", Role::Operator},    {"RunSystemTest", Role::Operator},
    {"GetMethod", Role::Observer},     {"AnalyzeLog", Role::Observer},
    {"StoreMethod", Role::Supervisor}, {"SendMethod", Role::Supervisor},
};
// The standard's lock and cancel, once they are served.
const std::map<std::string, Role> kStandardCommandRoles = {
    {"LockServer", Role::Operator},
    {"UnlockServer", Role::Operator},
    {"CancelCommand", Role::Operator},
    {"CancelAll", Role::Operator},
};

TEST(RoleTableTest, EveryServedCommandAndPropertyNeedsTheRoleTheLaboratoryAskedFor) {
    std::size_t commandsSeen = 0;
    for (const auto& feature : featureDefinitions()) {
        for (const Member& member : membersOf(feature.xml)) {
            const auto needed = roleNeeded(feature.identifier, member.call);
            if (!featureNeedsToken(feature.identifier)) {
                EXPECT_FALSE(needed) << feature.identifier << " " << member.call;
                continue;
            }
            ASSERT_TRUE(needed) << member.call;
            if (member.call.starts_with("Property/")) {
                EXPECT_EQ(*needed, Role::Observer) << member.call;
                continue;
            }
            const auto& agreed =
                featureDefinesRoleError(feature.identifier) ? kCommandRoles : kStandardCommandRoles;
            const auto expected = agreed.find(member.call.substr(8));
            ASSERT_NE(expected, agreed.end()) << member.call << " has no agreed role";
            EXPECT_EQ(*needed, expected->second) << member.call;
            commandsSeen += &agreed == &kCommandRoles ? 1 : 0;
        }
    }
    EXPECT_EQ(commandsSeen, kCommandRoles.size());
}

TEST(RoleTableTest, EveryCommandARoleCanRefuseDeclaresNotAllowedForRoleButTheStandardsOwn) {
    for (const auto& feature : featureDefinitions()) {
        if (!featureNeedsToken(feature.identifier)) {
            continue;
        }
        if (!featureDefinesRoleError(feature.identifier)) {
            EXPECT_EQ(feature.xml.find("NotAllowedForRole"), std::string_view::npos)
                << feature.identifier;
            continue;
        }
        const bool defined =
            feature.xml.find("<DefinedExecutionError>\n    <Identifier>NotAllowedForRole") !=
            std::string_view::npos;
        for (const Member& member : membersOf(feature.xml)) {
            if (!member.call.starts_with("Command/")) {
                continue;
            }
            const bool refusable = roleNeeded(feature.identifier, member.call) > Role::Observer;
            const bool declared = member.block.find("<Identifier>NotAllowedForRole</Identifier>") !=
                                  std::string::npos;
            EXPECT_EQ(declared, refusable) << member.call;
            EXPECT_TRUE(!refusable || defined) << feature.identifier;
        }
    }
}

TEST(RoleTableTest, RolesAreNamedInTheUsersFileAsTheyAreShown) {
    for (const Role role : {Role::Observer, Role::Operator, Role::Supervisor}) {
        EXPECT_EQ(roleFromName(roleName(role)), role);
    }
    EXPECT_FALSE(roleFromName("Operator"));
    EXPECT_FALSE(roleFromName("admin"));
}

TEST(RoleTableTest, ACommandMissingFromTheTableNeedsSupervisor) {
    EXPECT_EQ(roleNeeded(kDetectorControllerFeature, "Command/SelfDestruct"), Role::Supervisor);
    EXPECT_EQ(roleNeeded("COM.BRACKWATER/DETECTOR/DetectorController/v1", "Command/setmode"),
              Role::Operator);
    EXPECT_FALSE(roleNeeded(kSilaServiceFeature, "Command/SetServerName"));
}

} // namespace
} // namespace kqvdr::remote
