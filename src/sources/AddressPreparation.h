#pragma once

#include <QString>

#include <optional>

class CLumarexCore;

// Per family: cut the typed address down to what the family's album lister needs, choose the
// variant, call the lister(s), and show the family's message when nothing was found.
void ListTencentFamily(CLumarexCore& core, QString& address);
void ListBaiduFamily(CLumarexCore& core, QString& address);
void ListNeteaseFamily(CLumarexCore& core, QString& address);
void ListRenrenFamily(CLumarexCore& core, QString& address);
void ListSinaFamily(CLumarexCore& core, QString& address);
void List56Family(CLumarexCore& core, QString& address);
void ListPocoFamily(CLumarexCore& core, QString& address);
void ListYupooFamily(CLumarexCore& core, QString& address);
void List51Family(CLumarexCore& core, QString& address);
void ListZolFamily(CLumarexCore& core, QString& address);
void ListPchomeFamily(CLumarexCore& core, QString& address);
void ListTaobaoFamily(CLumarexCore& core, QString& address);
void ListMokoFamily(CLumarexCore& core, QString& address);
void ListBabytreeFamily(CLumarexCore& core, QString& address);
void ListPconlineFamily(CLumarexCore& core, QString& address);

// The Renren owner id of a vanity address, looked up on the owner's page; empty when the page
// request fails (an answer without the id gives an empty text).
std::optional<QString> LookUpRenrenOwnerId(const QString& name, bool publicPage);
