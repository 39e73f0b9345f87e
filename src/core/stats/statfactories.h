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

// Difference statistics (diffstats.cpp).
QUINTAR_STAT_FACTORY(TstDiffTotal);
QUINTAR_STAT_FACTORY(TstDiffMax);
QUINTAR_STAT_FACTORY(TstMinMaxDiffs);
QUINTAR_STAT_FACTORY(TstDiffSame);
QUINTAR_STAT_FACTORY(TstDiffSameCnt);
QUINTAR_STAT_FACTORY(TstCombDiffSeq2);
QUINTAR_STAT_FACTORY(TstCombDiffSeq3);
QUINTAR_STAT_FACTORY(TstCombDiffSeq4);

// Channel statistics (families/channels.cpp).
QUINTAR_STAT_FACTORY(TstChannels);
QUINTAR_STAT_FACTORY(TstChanValues);
QUINTAR_STAT_FACTORY(TstChanCount);
QUINTAR_STAT_FACTORY(TstCombChnMix2);
QUINTAR_STAT_FACTORY(TstCombChnMix3);
QUINTAR_STAT_FACTORY(TstCombChnMix4);
QUINTAR_STAT_FACTORY(TstCombChnSeq2);
QUINTAR_STAT_FACTORY(TstCombChnSeq3);
QUINTAR_STAT_FACTORY(TstCombChnSeq4);
QUINTAR_STAT_FACTORY(TstChnValCnt);

// Matrix statistics (families/matrix.cpp).
QUINTAR_STAT_FACTORY(TstColumns);
QUINTAR_STAT_FACTORY(TstRows);
QUINTAR_STAT_FACTORY(TstColValues);
QUINTAR_STAT_FACTORY(TstRowValues);
QUINTAR_STAT_FACTORY(TstColCount);
QUINTAR_STAT_FACTORY(TstRowCount);
QUINTAR_STAT_FACTORY(TstColMask);
QUINTAR_STAT_FACTORY(TstRowMask);
QUINTAR_STAT_FACTORY(TstColAjacent);
QUINTAR_STAT_FACTORY(TstRowAjacent);
QUINTAR_STAT_FACTORY(TstColAjacentCnt);
QUINTAR_STAT_FACTORY(TstRowAjacentCnt);
QUINTAR_STAT_FACTORY(TstCombColMix2);
QUINTAR_STAT_FACTORY(TstCombColMix3);
QUINTAR_STAT_FACTORY(TstCombColMix4);
QUINTAR_STAT_FACTORY(TstCombColSeq2);
QUINTAR_STAT_FACTORY(TstCombColSeq3);
QUINTAR_STAT_FACTORY(TstCombColSeq4);
QUINTAR_STAT_FACTORY(TstCombRowMix2);
QUINTAR_STAT_FACTORY(TstCombRowMix3);
QUINTAR_STAT_FACTORY(TstCombRowMix4);
QUINTAR_STAT_FACTORY(TstCombRowSeq2);
QUINTAR_STAT_FACTORY(TstCombRowSeq3);
QUINTAR_STAT_FACTORY(TstCombRowSeq4);
QUINTAR_STAT_FACTORY(TstColValCnt);
QUINTAR_STAT_FACTORY(TstRowValCnt);

// Segment statistics (families/segments.cpp).
QUINTAR_STAT_FACTORY(TstSegments);
QUINTAR_STAT_FACTORY(TstSegmValues);
QUINTAR_STAT_FACTORY(TstSegmCount);
QUINTAR_STAT_FACTORY(TstCombSegmMix2);
QUINTAR_STAT_FACTORY(TstCombSegmMix3);
QUINTAR_STAT_FACTORY(TstCombSegmMix4);
QUINTAR_STAT_FACTORY(TstCombSegmSeq2);
QUINTAR_STAT_FACTORY(TstCombSegmSeq3);
QUINTAR_STAT_FACTORY(TstCombSegmSeq4);
QUINTAR_STAT_FACTORY(TstSgmValCnt);

// Sequence statistics (seqstats.cpp).
QUINTAR_STAT_FACTORY(TstSequenceLen);
QUINTAR_STAT_FACTORY(TstSequenceCnt);
QUINTAR_STAT_FACTORY(TstSequenceLenMax);

// Shredding statistics (shreddingstats.cpp).
QUINTAR_STAT_FACTORY(TstShreddingStat);

// Group and pause statistics (families/series.cpp).
QUINTAR_STAT_FACTORY(TstNumGroups);
QUINTAR_STAT_FACTORY(TstNumPauses);
QUINTAR_STAT_FACTORY(TstChnGroups);
QUINTAR_STAT_FACTORY(TstChnPauses);
QUINTAR_STAT_FACTORY(TstSgmGroups);
QUINTAR_STAT_FACTORY(TstSgmPauses);

// Period statistics (families/periods.cpp).
QUINTAR_STAT_FACTORY(TstNumPeriods);
QUINTAR_STAT_FACTORY(TstChnPeriods);
QUINTAR_STAT_FACTORY(TstSgmPeriods);

// Chain statistics (families/chains.cpp).
QUINTAR_STAT_FACTORY(TstChain2DrawsAll);
QUINTAR_STAT_FACTORY(TstChain2DrawsPos);
QUINTAR_STAT_FACTORY(TstChain2Pos);
QUINTAR_STAT_FACTORY(TstChain3DrawsPos);
QUINTAR_STAT_FACTORY(TstChain3Pos);
QUINTAR_STAT_FACTORY(TstChain2ChannelsAll);
QUINTAR_STAT_FACTORY(TstChain2ChannelsPos);
QUINTAR_STAT_FACTORY(TstChain2Channel);
QUINTAR_STAT_FACTORY(TstChain3ChannelsPos);
QUINTAR_STAT_FACTORY(TstChain3Channel);
QUINTAR_STAT_FACTORY(TstChain2CnlCnt);
QUINTAR_STAT_FACTORY(TstChain3CnlCnt);
QUINTAR_STAT_FACTORY(TstChainChannels2InsideAll);
QUINTAR_STAT_FACTORY(TstChainChannels2InsideSuc);
QUINTAR_STAT_FACTORY(TstChainChannels2InsideBad);
QUINTAR_STAT_FACTORY(TstChainChannels2InsideCnt);
QUINTAR_STAT_FACTORY(TstChain2SegmentsAll);
QUINTAR_STAT_FACTORY(TstChain2SegmentsPos);
QUINTAR_STAT_FACTORY(TstChain2Segment);
QUINTAR_STAT_FACTORY(TstChain3SegmentsPos);
QUINTAR_STAT_FACTORY(TstChain3Segment);
QUINTAR_STAT_FACTORY(TstChain2SgmCnt);
QUINTAR_STAT_FACTORY(TstChain3SgmCnt);

#undef QUINTAR_STAT_FACTORY

}  // namespace quintar
