// qvx-imaq (placeholder).
int main() { return 0; }
