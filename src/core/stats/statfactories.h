// Factories of the built statistic classes, one per class; the class table (statregistry.cpp) is their
// only user. Each family file defines its classes privately and exports only these.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "stats/statregistry.h"

namespace quintar {

#define QUINTAR_STAT_FACTORY(name) \
  std::unique_ptr<TCustomStat> New##name(const TStatClassInfo& cls, const TStatList& list, int32_t param)

// Number statistics (numberstats.cpp).
QUINTAR_STAT_FACTORY(TstValues);
QUINTAR_STAT_FACTORY(TstDigits);
QUINTAR_STAT_FACTORY(TstEvenCount);
QUINTAR_STAT_FACTORY(TstEvenValues);
QUINTAR_STAT_FACTORY(TstSmallCount);
QUINTAR_STAT_FACTORY(TstSmallValues);
QUINTAR_STAT_FACTORY(TstPrimeCount);
QUINTAR_STAT_FACTORY(TstPrimeValues);
QUINTAR_STAT_FACTORY(TstPosVal);
QUINTAR_STAT_FACTORY(TstPosExt);

// Sum statistics (sumstats.cpp).
QUINTAR_STAT_FACTORY(TstSumValues);
QUINTAR_STAT_FACTORY(TstSumRanges);
QUINTAR_STAT_FACTORY(TstSumChange);
QUINTAR_STAT_FACTORY(TstSumChangeSome);
QUINTAR_STAT_FACTORY(TstSumTrend);
QUINTAR_STAT_FACTORY(TstSumEvenValues);
QUINTAR_STAT_FACTORY(TstSumPrimeValues);
QUINTAR_STAT_FACTORY(TstSum2To3);
// Name of a sum range method: "Сумма тиража: диапазон 1 (1/3)".
std::string SumRangeName(const TStatClassInfo& cls, int32_t param);

#undef QUINTAR_STAT_FACTORY

}  // namespace quintar
