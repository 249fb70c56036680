// Building the batch for a full pool of sprites: 5000 visible, a given share of them rotated,
// all mixed natural, shrunk and magnified. Prints time per pass; the per-sprite figure is
// the pass time over 5000 (items_per_second).
#include "assets/atlas_images.h"
#include "engine/image_table.h"
#include "engine/sprite_pool.h"
#include "engine/sprite_quad.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <random>

namespace {

constexpr int VISIBLE_SPRITES = SPRITE_POOL_SIZE;

void fill_pool(int rotated_percent) {
    image_count = 0;
    image_new();
    std::copy(atlas_images.begin(), atlas_images.end(), image_table.begin() + 1);
    image_count = 1 + ATLAS_IMAGE_COUNT;
    std::mt19937 random(2013);
    const float scales[] = {1.0f, 0.4f, 0.6f, 2.0f};
    sprite_count = 0;
    for (int i = 0; i < VISIBLE_SPRITES; ++i) {
        Sprite* s = sprite_new();
        s->visible = 1;
        s->x = static_cast<int32_t>(random() % 640);
        s->y = static_cast<int32_t>(random() % 480);
        s->image = 1 + static_cast<int32_t>(random() % ATLAS_IMAGE_COUNT);
        s->scale = scales[random() % 4];
        s->rotation = i % 100 < rotated_percent ? static_cast<float>(random() % 3600) / 10.0f + 0.1f : 0.0f;
    }
}

void BM_SpriteBatchBuild(benchmark::State& state) {
    fill_pool(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(sprite_batch_build(ATLAS_SIZE));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * VISIBLE_SPRITES);
}
// The argument is the share of rotated sprites in percent; 25 is the figure that counts.
BENCHMARK(BM_SpriteBatchBuild)->Arg(25)->Arg(0)->Arg(100)->Unit(benchmark::kMicrosecond);

} // namespace
