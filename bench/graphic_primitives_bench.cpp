// Speed of drawing one field: a 40 x 10 mm text in a 12-point face (unturned and turned a
// quarter) and a 100 x 50 picture fitted into a 20 x 20 mm box, at 203 dots per inch. The
// renderer is reused as for the labels of one print request; the value changes every time.

#include <string>

#include <benchmark/benchmark.h>

#include "rendering/graphic_primitives.h"

namespace {

using pirell::TRotation;

void BM_GraphicText(benchmark::State& state) {
  pirell::TGraphicText text;
  text.SetDPI(203);
  text.SetWidth(40);
  text.SetHeight(10);
  text.SetRotation(static_cast<TRotation>(state.range(0)));
  text.Font().size_points = 12;
  text.Font().charset = 204;
  int n = 0;
  for (auto _ : state) {
    text.SetData("Price 1" + std::to_string(n++ % 1000) + ",50 per piece");
    benchmark::DoNotOptimize(text.GetBitMap().Row(0));
  }
}
BENCHMARK(BM_GraphicText)->Arg(pirell::r0)->Arg(pirell::r90);

void BM_ImageItem(benchmark::State& state) {
  pirell::Picture picture(100, 50);
  for (int y = 0; y < 50; ++y)
    for (int x = 0; x < 100; ++x)
      if ((x / 5 + y / 5) % 2 == 0) picture.Set(x, y, 0xFF000000u);
  pirell::TImageItem image;
  image.SetDPI(203);
  image.SetWidth(20);
  image.SetHeight(20);
  image.SetRotation(static_cast<TRotation>(state.range(0)));
  image.SetImageData(&picture);
  for (auto _ : state) benchmark::DoNotOptimize(image.GetBitMap().Row(0));
}
BENCHMARK(BM_ImageItem)->Arg(pirell::r0)->Arg(pirell::r90);

}  // namespace
