// Stand-in until the story's game-over scene is built: continue.
int RunGameOverScene() { return 0; }
