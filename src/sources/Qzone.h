#pragma once

#include <QString>

#include <cstdint>

// The g_tk token of QQ Zone requests, from the "skey" login cookie (5381 when logged out).
std::uint32_t CalcGTK(const QString& skey);
