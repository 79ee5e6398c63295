// The tile kinds of a stage map: the value of each cell of the tile grid (the
// map file's character minus '0'). A kind is a piece of scenery that the
// tile drawing shows, a tile that bodies stand on or run into, or a thing
// that the stage places or wakes at its cell.
#pragma once

constexpr int kTileEmpty = 0;
constexpr int kTileGround = 1;
constexpr int kTilePlayerStart = 2;
constexpr int kTileWalker = 3;  // an EnemyCharacter
constexpr int kTileGoal = 4;
constexpr int kTileSpikes = 5;  // a floor passed through from below and sideways
// A side elevator: its left end starts one, the middle pieces follow, and
// its right end completes it.
constexpr int kTileElevatorLeft = 6;
constexpr int kTileElevatorMiddle = 7;
constexpr int kTileElevatorRight = 8;
constexpr int kTileRecoveryItem = 9;
constexpr int kTileTurretFacingLeft = 17;
constexpr int kTileTurretFacingRight = 18;
constexpr int kTileBlock = 19;  // the stage's block tile
constexpr int kTileFloor = 20;  // the stage's floor tile, drawn above its cell
constexpr int kTileMirelle = 21;
constexpr int kTileChinton = 22;
constexpr int kTileHamushiShot = 23;
// The turrets with the inverse picture ('H' and 'I' in the map file).
constexpr int kTileInverseTurretH = 24;
constexpr int kTileInverseTurretI = 25;
constexpr int kTileRestartMarker = 26;
constexpr int kTilePit = 27;
constexpr int kTileWall = 28;
constexpr int kTileDecoration = 29;
constexpr int kTileSpellArt = 30;
constexpr int kTileHighDecoration = 31;  // the decoration four rows above its cell
constexpr int kTileSpellItem = 32;
constexpr int kTileWatadama = 33;
constexpr int kTileSekito = 34;
constexpr int kTileArmorDevil = 35;
constexpr int kTileArmorDevilLeader = 36;
constexpr int kTileFenwa = 37;
constexpr int kTileStoneSnake = 38;
// A moving floor of the first or the second set.
constexpr int kTileMovingFloorFirstSet = 39;
constexpr int kTileMovingFloorSecondSet = 40;
constexpr int kTileDashZone = 41;
constexpr int kTileFallingBlock = 42;
// The guide message boxes; tile 49 is a map's first box.
constexpr int kFirstGuideBoxTile = 49;
constexpr int kLastGuideBoxTile = 53;
constexpr int kTileUpSign = 54;
constexpr int kTileCrumblingBlock = 55;
// The pillars and the rope between them.
constexpr int kTilePillar = 56;
constexpr int kTilePillarTop = 57;
constexpr int kTileRopedPillarLeft = 58;
constexpr int kTileRopedPillarMiddle = 59;
constexpr int kTileRopedPillarRight = 60;
constexpr int kTileRope = 61;
