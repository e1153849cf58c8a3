def log = new File(basedir, 'build.log').text
assert log.contains("kestro: the application's main class is missing: set <mainClass> in the plugin's configuration")
assert !new File(basedir, 'target/missing-main-class-1.0.exe').exists()
