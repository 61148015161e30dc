#pragma once

// The two list files an export writes: the input file of aria2 ("-i"; UTF-8, each address
// followed by indented "out=" and "header=" lines) or the plain ".lst" of Thunder (GBK, CR LF,
// addresses only).
enum class ExportFormat { Aria2, Thunder };
