// Stand-in until the game-type rules land: static objects take no damage.
#include "net/rules.h"

void Server_StaticDamage(ObjectRecord*) {}
void Server_StaticDamageDestructible(ObjectRecord*) {}
