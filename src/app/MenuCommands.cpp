#include "app/MenuCommands.h"

#include "core/SoftData.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {
// The services' own login pages; a logged-in browser leaves the cookies the downloads carry.
constexpr LoginCommand kLoginCommands[] = {
    {CMD_LOGIN_QZONE, u"QQ（绑定的QQ不用在下载器里登录）", u"http://user.qzone.qq.com/"},
    {CMD_LOGIN_TENCENT_WEIBO, u"腾讯微博", u"http://t.qq.com/"},
    {CMD_LOGIN_BAIDU, u"百度", u"http://hi.baidu.com/"},
    {CMD_LOGIN_NETEASE, u"网易", u"http://reg.163.com/"},
    {CMD_LOGIN_RENREN, u"人人", u"http://www.renren.com/"},
    {CMD_LOGIN_YUPOO, u"又拍", u"http://www.yupoo.com/account/login/"},
    {CMD_LOGIN_MOKO, u"美空", u"http://www.moko.cc/jsps/common/login.jsp?tourl=http%3A%2F%2Fwww.moko.cc%2F"},
    {CMD_LOGIN_WEIBO, u"新浪微博", u"http://weibo.com/"},
    {CMD_LOGIN_CUSTOM, u"自定义登录", u"http://www.baidu.com/"},
};

constexpr OptionCommand kOptionCommands[] = {
    {CMD_LIST_ONLY, u"只生成迅雷下载列表", OPT_LIST_ONLY, true},
    {CMD_NAME_FILE, u"生成图片原始名文件", OPT_NAME_FILE, false},
    {CMD_FIX_ORDER, u"修正图片顺序", OPT_FIX_ORDER, true},
    {CMD_FIX_FORMAT, u"修正图片格式", OPT_FIX_FORMAT, false},
    {CMD_SKIP_OLD, u"不下载以前下载过的图片", OPT_SKIP_OLD, false},
    {CMD_OPEN_FOLDER, u"下载完成后打开保存路径", OPT_OPEN_FOLDER, false},
    {CMD_TAOBAO_MAIN, u"只下载淘宝宝贝主图", OPT_TAOBAO_MAIN, true},
};

} // namespace

std::span<const LoginCommand> LoginCommands()
{
    return kLoginCommands;
}
std::span<const OptionCommand> OptionCommands()
{
    return kOptionCommands;
}

const LoginCommand* FindLoginCommand(int id)
{
    const auto found = std::ranges::find(kLoginCommands, id, &LoginCommand::id);
    return found == std::end(kLoginCommands) ? nullptr : found;
}

const OptionCommand* FindOptionCommand(int id)
{
    const auto found = std::ranges::find(kOptionCommands, id, &OptionCommand::id);
    return found == std::end(kOptionCommands) ? nullptr : found;
}

QString LoginStartPage(int id, const QString& addressText)
{
    const LoginCommand* command = FindLoginCommand(id);
    if (!command) return {};
    QString page = QString::fromUtf16(command->startPage);
    static const QRegularExpression kDigitsOnly(u"^[0-9]+$"_s);
    const QString typed = addressText.trimmed();
    if (id == CMD_LOGIN_QZONE && kDigitsOnly.match(typed).hasMatch()) page += typed;
    return page;
}

