// lumbra requirement and lumbra consume: filled in once the requirement build is in place.
