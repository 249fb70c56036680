// Tweens: growth about the centre, the turn, the end, and the table's reuse and its limit.
#include "engine/image_table.h"
#include "game/tweens.h"
#include "game_fixture.h"

namespace {

class Tweens : public GameTest {
  protected:
    // A spare pool sprite with the named image, at (x, y), scale 1.
    static Sprite& sprite(const char* image, int32_t x, int32_t y) {
        Sprite& s = *sprite_new();
        s = Sprite{1, 1, x, y, image_find(image), 1.0f, 0.0f};
        return s;
    }
    static void step(int ticks) {
        for (int i = 0; i < ticks; ++i)
            tweens_step();
    }
};

TEST_F(Tweens, GrowingKeepsTheImageCentredAndEndsAtItsScale) {
    Sprite& s = sprite("overlayready.png", 240, 220); // 120 x 40: centre (300, 240)
    Tween* t = tween_add(&s);
    t->frames_left = 30;
    t->dscale = 0.03f;
    step(30);
    EXPECT_NEAR(s.scale, 1.9f, 1e-4);
    EXPECT_EQ(t->used, TWEEN_FREE);
    // The corner moved back by the growth of half the image, within a truncated pixel.
    EXPECT_NEAR(s.x + s.scale * 60, 300, 1.0f);
    EXPECT_NEAR(s.y + s.scale * 20, 240, 1.0f);
}

TEST_F(Tweens, TurnComesBackAndHidingWaitsForTheLastTick) {
    Sprite& s = sprite("tile005.png", 100, 50);
    Tween* t = tween_add(&s);
    t->frames_left = 20;
    t->turn_at = 10;
    t->dx = 1.0f;
    t->hide_at_end = 1;
    step(10);
    EXPECT_EQ(s.x, 110);
    step(9);
    EXPECT_EQ(s.x, 101);
    EXPECT_EQ(s.visible, 1);
    step(1);
    EXPECT_EQ(s.x, 100);
    EXPECT_EQ(s.visible, 0);
    EXPECT_EQ(s.scale, 1.0f);
}

TEST_F(Tweens, FinishedEntriesAreReusedLowestFirst) {
    Sprite& s = sprite("tile005.png", 0, 0);
    const int32_t before = tween_count;
    Tween* first = tween_add(&s);
    first->frames_left = 1;
    Tween* second = tween_add(&s);
    second->frames_left = 5;
    step(1);
    EXPECT_EQ(tween_add(&s), first);
    EXPECT_EQ(tween_count, before + 2);
}

// A full table never refuses: the entry nearest its end is finished (its sprite hidden, as it
// would have been) and handed over.
TEST_F(Tweens, FullTableHandsOverTheEntryNearestItsEnd) {
    Sprite& a = sprite("tile005.png", 0, 0);
    Sprite& b = sprite("tile005.png", 0, 0);
    while (tween_count < TWEEN_TABLE_SIZE)
        tween_add(&a)->frames_left = 100;
    Tween& nearest = tween_table[TWEEN_TABLE_SIZE / 2];
    nearest = Tween{TWEEN_ACTIVE, &b, 0, 0, 0.5f, 1.0f, 0, 3, 0, 0, 0, 0, 0, 1};
    Tween* taken = tween_add(&a);
    EXPECT_EQ(taken, &nearest);
    EXPECT_EQ(taken->sprite, &a);
    EXPECT_EQ(b.visible, 0);
    EXPECT_EQ(b.scale, 0.5f);
    EXPECT_EQ(tween_count, TWEEN_TABLE_SIZE);
}

} // namespace
