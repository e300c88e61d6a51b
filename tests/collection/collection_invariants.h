#pragma once

#include <string>

#include "collection/collection.h"

// Empty when `records` is in strict identity order below next_serial,
// `records_by_url` is in strict URL order and holds only records of `records`,
// every record's URL leads to a stored record with that URL, and the keyword
// index agrees with the records. Else the first problem found.
std::string check_collection(const Collection* collection);

// One line per record in `records` order: url|title|keywords|added|visit|modified,
// dates in decimal, U for one that is not a real date.
std::string dump_records(const Collection* collection);

// Every field of every record but its identity, in `records` order, a line
// each: what taking a change back must give back exactly.
std::string dump_every_field(const Collection* collection);
