#pragma once

#include <QString>

#include <cstdint>
#include <span>

// Command ids of menu 129.
enum MenuCommand : int {
    CMD_FEEDBACK = 32772,
    CMD_ENQUIRY = 32773,
    CMD_SKIP_OLD = 32774,
    CMD_VERSION = 32775,
    CMD_DOWN_PARAM = 32778,
    CMD_NAME_SET = 32779,
    CMD_LOGIN_QZONE = 32781,
    CMD_LOGIN_TENCENT_WEIBO = 32782,
    CMD_LOGIN_BAIDU = 32789,
    CMD_LOGIN_NETEASE = 32790,
    CMD_LOGIN_RENREN = 32791,
    CMD_LOGIN_YUPOO = 32792,
    CMD_LOGIN_MOKO = 32793,
    CMD_LOGIN_WEIBO = 32794,
    CMD_LOGIN_CUSTOM = 32795,
    CMD_FIX_ORDER = 32799,
    CMD_FIX_FORMAT = 32800,
    CMD_LIST_ONLY = 32802,
    CMD_NAME_FILE = 32804,
    CMD_USAGE = 32806,
    CMD_FILE_TOOL = 32807,
    CMD_TAOBAO_MAIN = 32808,
    CMD_EXPORT_LIST = 32809,
    CMD_EXPORT_THUNDER = 32810,
    CMD_IMPORT_LIST = 32811,
    CMD_OPEN_FOLDER = 32812,
    CMD_RETRY_FAILED = 32814,
};

struct LoginCommand {
    int id;
    const char16_t* text;
    const char16_t* startPage;
};

// An option toggle: the bit of the current service's nOptions it flips, in menu order.
struct OptionCommand {
    int id;
    const char16_t* text;
    std::uint8_t bit;
    bool separatorBefore;
};

std::span<const LoginCommand> LoginCommands();
std::span<const OptionCommand> OptionCommands();
const LoginCommand* FindLoginCommand(int id);
const OptionCommand* FindOptionCommand(int id);

// The login browser's start page for a login command. The QQ one opens the owner's space when
// the address box holds a bare QQ number.
QString LoginStartPage(int id, const QString& addressText);

